#include "windows/controls/WindowRole.h"

#include <QAccessibleWidget>
#include <QSet>
#include <QWidget>

namespace windows {
namespace {

// The classes of the windows that asked.
QSet<const QMetaObject*>& windowClasses() {
    static QSet<const QMetaObject*> classes;
    return classes;
}

// Tried before Qt's own factory; answers only for those windows, when they are windows.
QAccessibleInterface* windowRole(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || !widget->isWindow() || !windowClasses().contains(object->metaObject())) {
        return nullptr;
    }
    return new QAccessibleWidget(widget, QAccessible::Window);
}

}  // namespace

void describeAsWindow(QWidget& window) {
    windowClasses().insert(window.metaObject());
    QAccessible::installFactory(windowRole);  // installing it again changes nothing
}

}  // namespace windows

#include "windows/controls/OtherWindowsHeld.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>

#include "platform/HelpViewer.h"

namespace windows {

OtherWindowsHeld::OtherWindowsHeld(QWidget* running) {
    const QWidget* own = running->window();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const auto type = window->windowType();
        if ((type != Qt::Window && type != Qt::Dialog) || window == own || !window->isEnabled() ||
            qobject_cast<platform::HelpViewer*>(window)) {
            continue;  // popups and tool tips come and go with their windows
        }
        window->setEnabled(false);
        window->installEventFilter(this);
        held_.emplace_back(window);
    }
}

OtherWindowsHeld::~OtherWindowsHeld() {
    for (const QPointer<QWidget>& window : held_) {
        if (window) {
            window->removeEventFilter(this);
            window->setEnabled(true);
        }
    }
}

bool OtherWindowsHeld::holds(const QWidget* window) const {
    return std::any_of(held_.begin(), held_.end(),
                       [&](const QPointer<QWidget>& held) { return held == window; });
}

bool OtherWindowsHeld::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        event->ignore();  // the run may be using it (the browse grid it fills)
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace windows

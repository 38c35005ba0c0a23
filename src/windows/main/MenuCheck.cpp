#include "windows/main/MenuCheck.h"

#include <QMenu>

namespace windows {
namespace {

QAction* createItem(QMenu* menu, const char* name, const QString& caption,
                    const QKeySequence& shortcut) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    return action;
}

}  // namespace

QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                 const QKeySequence& shortcut, std::function<void()> handler) {
    QAction* action = createItem(menu, name, caption, shortcut);
    QObject::connect(action, &QAction::triggered, menu, [handler] {
        if (handler) {
            handler();
        }
    });
    return action;
}

QAction* addCheckItem(QMenu* menu, const char* name, const QString& caption,
                      const QKeySequence& shortcut, bool checked, std::function<void()> handler) {
    QAction* action = createItem(menu, name, caption, shortcut);
    action->setCheckable(true);
    action->setChecked(checked);
    QObject::connect(action, &QAction::triggered, menu, [action, handler](bool nowChecked) {
        action->setChecked(!nowChecked);
        if (handler) {
            handler();
        }
    });
    return action;
}

}  // namespace windows

#pragma once

#include <QAction>
#include <functional>

namespace windows {

// A menu item whose check mark only the program sets: choosing it runs `handler` with the
// mark as it stood before the choice, instead of letting the toolkit flip it first.
QAction* addCheckItem(QMenu* menu, const char* name, const QString& caption,
                      const QKeySequence& shortcut, bool checked, std::function<void()> handler);

// A plain menu item.
QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                 const QKeySequence& shortcut, std::function<void()> handler);

}  // namespace windows

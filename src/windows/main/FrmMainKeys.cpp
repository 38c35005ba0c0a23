// The main window sees every key before the focused control does.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPushButton>

#include "app/AppState.h"
#include "app/runs/Runner.h"
#include "windows/controls/HelpKey.h"
#include "windows/main/FrmMain.h"
#include "windows/main/MainWindowRuns.h"

namespace windows {
namespace {

constexpr int KeyEscape = 27;
constexpr int KeyPageUp = 33;
constexpr int KeyPageDown = 34;
constexpr int KeyF1 = 112;

// The classic key code of a Qt key, or 0 for keys the window does not single out.
int keyCode(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Escape:
            return KeyEscape;
        case Qt::Key_PageUp:
            return KeyPageUp;
        case Qt::Key_PageDown:
            return KeyPageDown;
        case Qt::Key_F1:
            return KeyF1;
        default:
            return 0;
    }
}

bool isEnter(int qtKey) {
    return qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter;
}

}  // namespace

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type == QEvent::FocusOut && watched == CmbArtist) {
        // Focus moving within the window; not a popup list opening (its own list takes the
        // focus first as a popup, then once more) or another window.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const QWidget* to = QApplication::focusWidget();
        const bool toOwnList =
            to && (to == CmbArtist->view() || CmbArtist->view()->isAncestorOf(to));
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && !toOwnList) {
            CmbArtist_LostFocus();
        }
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (type == QEvent::KeyPress && widget && runWindows_->holds(widget->window()) &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        // A window held by a run passes Esc on to the run, as the main window would.
        Form_KeyDown(KeyEscape, Qt::NoModifier);
        Form_KeyPress(KeyEscape);
        return true;
    }
    if (!widget || (widget != this && !isAncestorOf(widget))) {
        return false;
    }
    if (type == QEvent::ShortcutOverride) {
        // The menus' Ctrl shortcuts win over a text field's own use of the same keys.
        return ownsShortcut(event);
    }
    // A key travels up the parents when nobody takes it: look at it once, at the start.
    QWidget* focus = QApplication::focusWidget();
    if (focus ? widget != focus : widget != this) {
        return false;
    }
    // Alt and a letter no command took (its button is off, as in add mode) is not typing.
    if (const auto* key = static_cast<QKeyEvent*>(event); key->modifiers() == Qt::AltModifier &&
                                                          !key->text().isEmpty() &&
                                                          key->text().front().isLetterOrNumber()) {
        return true;
    }
    return handleKey(watched, event);
}

// Undo and Redo are the field's own while an entry is pending in the fields.
bool FrmMain::ownsShortcut(QEvent* event) const {
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    const bool fieldsPending = editPending();
    const auto actions = findChildren<QAction*>();
    return std::any_of(actions.begin(), actions.end(), [&](const QAction* action) {
        const bool catalogueStep = action == mnuEditUndo || action == mnuEditRedo;
        return action->isEnabled() && !action->shortcut().isEmpty() &&
               action->shortcut() == pressed && !(catalogueStep && fieldsPending);
    });
}

bool FrmMain::handleKey(QObject* watched, QEvent* event) {
    const auto* key = static_cast<QKeyEvent*>(event);
    int code = keyCode(key->key());
    if (code) {
        Form_KeyDown(code, key->modifiers());
    }
    if (key->key() == Qt::Key_Escape) {
        Form_KeyPress(KeyEscape);
    }
    if (auto* box = qobject_cast<QComboBox*>(watched);
        code && (box == CmbArtist || box == CmbCategory || box == cmbFormat)) {
        ComboBox_KeyDown(box, code);
        if (code != KeyPageUp && code != KeyPageDown) {
            return true;  // the key was replaced by a harmless one: the list keeps its choice
        }
    }
    if (isEnter(key->key())) {
        // Enter presses the focused button, or else the window's default button.
        auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
        if (!button) {
            button = defaultButton_;
        }
        if (button && button->isEnabled()) {
            button->click();
        }
        return true;
    }
    return false;
}

void FrmMain::Form_KeyDown(int keyCode, Qt::KeyboardModifiers) {
    if (!state_.Modes.adding()) {
        if (keyCode == KeyEscape) {
            runner_->escape();
        } else if (keyCode == KeyPageUp) {
            CmdPrev->click();
        } else if (keyCode == KeyPageDown) {
            CmdNext->click();
        }
    }
    if (keyCode == KeyF1) {
        DisplayHelpOnHelp(helptopic::MainWindow);
    }
}

void FrmMain::Form_KeyPress(int keyAscii) {
    if (keyAscii == KeyEscape && state_.Modes.adding()) {
        leaveAddModeAfterEscape();
    }
}

void FrmMain::mnuHelpHelp_Click() {
    // The same as pressing F1 in the window.
    QWidget* target = QApplication::focusWidget();
    if (!target || !isAncestorOf(target)) {
        target = this;
    }
    QCoreApplication::postEvent(target,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier));
}

}  // namespace windows

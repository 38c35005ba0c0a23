#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace testing {

// The first visible top-level window of a kind, or null.
template <typename Window>
Window* visibleWindow() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Window*>(top); window && window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

// Opens a modal window with `open` and runs `inside` while it is shown, as the user would
// use it; the window is closed afterwards (as by Esc) if `inside` left it open.
template <typename Window>
void whileModal(const std::function<void()>& open, const std::function<void(Window&)>& inside) {
    QTimer::singleShot(0, [&] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (!window) {
            QFAIL("the window is not shown");
        }
        QApplication::setActiveWindow(window);  // the headless platform leaves it to us
        QTRY_VERIFY(window->isActiveWindow());
        inside(*window);
        if (window->isVisible()) {
            window->reject();
        }
    });
    open();
}

}  // namespace testing

#pragma once

class QMessageBox;
class QSize;
class QWidget;

namespace platform {

// Makes a window the program sizes itself no larger than the available area of its screen
// (less room for the window manager's frame), and moves it onto that area: at twice the
// scale a size chosen in pixels can outgrow a small screen.
void fitOnScreen(QWidget& window);

// The largest size a window of `owner`'s screen can take whole, frame aside.
QSize roomOnScreen(const QWidget* owner);

// Widens a message box to its caption: the window manager shows the title in the frame, and
// a box sized to a short text would cut it.
void widenToTitle(QMessageBox& box);

}  // namespace platform

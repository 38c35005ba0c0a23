#include "platform/ScreenFit.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QScreen>
#include <QSpacerItem>
#include <algorithm>

namespace platform {
namespace {

// What a window manager's frame takes: the title bar and borders, and beside a title its
// icon and three buttons.
constexpr int FrameHeight = 40;
constexpr int FrameWidth = 16;
constexpr int TitleBarButtons = 140;

}  // namespace

QSize roomOnScreen(const QWidget* owner) {
    const QScreen* screen =
        owner && owner->screen() ? owner->screen() : QApplication::primaryScreen();
    if (!screen) {
        return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    }
    const QRect area = screen->availableGeometry();
    return {area.width() - FrameWidth, area.height() - FrameHeight};
}

void fitOnScreen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QApplication::primaryScreen();
    if (!screen) {
        return;
    }
    const QRect area = screen->availableGeometry();
    window.resize(window.size().boundedTo(roomOnScreen(&window)));
    const QPoint topLeft(std::clamp(window.x(), area.left(), area.right() - window.width()),
                         std::clamp(window.y(), area.top(), area.bottom() - window.height()));
    if (topLeft != window.pos()) {  // a window left where it was is placed by the manager
        window.move(topLeft);
    }
}

void widenToTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) {
        return;
    }
    const QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    const int width =
        QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + TitleBarButtons;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace platform

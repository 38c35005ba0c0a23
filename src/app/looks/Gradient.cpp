#include "app/looks/Gradient.h"

#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace app {
namespace {

int component(float value) {
    return std::clamp(static_cast<int>(std::nearbyint(value)), 0, 255);
}

}  // namespace

std::vector<QColor> gradientLines(int lines, Rgb start, Rgb end) {
    std::vector<QColor> colours;
    if (lines <= 0) {
        return colours;
    }
    const float n = static_cast<float>(lines);
    const Rgb step{(end.red - start.red) / n, (end.green - start.green) / n,
                   (end.blue - start.blue) / n};
    Rgb current = start;
    colours.reserve(static_cast<std::size_t>(lines));
    for (int i = 0; i < lines; ++i) {
        colours.emplace_back(component(current.red), component(current.green),
                             component(current.blue));
        current.red += step.red;
        current.green += step.green;
        current.blue += step.blue;
    }
    return colours;
}

void PaintGradient(QWidget* window, float red1, float green1, float blue1, float red2, float green2,
                   float blue2, short direction) {
    if (!window || (direction != 0 && direction != -1)) {
        return;
    }
    const QSize size = window->size();
    const bool vertical = direction == 0;
    const auto colours = gradientLines(vertical ? size.height() : size.width(),
                                       {red1, green1, blue1}, {red2, green2, blue2});
    QPixmap canvas(size);
    QPainter painter(&canvas);
    for (int i = 0; i < static_cast<int>(colours.size()); ++i) {
        painter.setPen(colours[static_cast<std::size_t>(i)]);
        if (vertical) {
            painter.drawLine(0, i, size.width() - 1, i);
        } else {
            painter.drawLine(i, 0, i, size.height() - 1);
        }
    }
    painter.end();
    // Held as the window's background brush, the drawing persists like any background.
    QPalette palette = window->palette();
    palette.setBrush(QPalette::Window, QBrush(canvas));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

}  // namespace app

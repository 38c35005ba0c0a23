#pragma once

#include <QColor>
#include <vector>

class QWidget;

namespace app {

struct Rgb {
    float red, green, blue;  // 0 to 255
};

// The colours of `lines` one-pixel lines running from `start` towards `end`: each step is
// (end - start) / lines, so the last line is one step short of `end`. Components are taken
// to the nearest integer, halves to even.
std::vector<QColor> gradientLines(int lines, Rgb start, Rgb end);

// Paints the window's client area as a gradient that stays when the window is covered and
// uncovered: direction 0 top to bottom, -1 left to right; any other direction paints
// nothing.
void PaintGradient(QWidget* window, float red1, float green1, float blue1, float red2, float green2,
                   float blue2, short direction);

}  // namespace app

#pragma once

#include <QFont>

namespace app {

// Maps the design's face names onto faces a Linux desktop has; call once at start-up.
void installFontSubstitutes();

QFont windowFont();              // the windows' plain face
QFont statusFont();              // the status labels' serif face
QFont titleFont(int pointSize);  // the splash title's face

}  // namespace app

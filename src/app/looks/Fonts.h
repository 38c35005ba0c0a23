#pragma once

#include <QFont>
#include <QString>

class QWidget;

namespace app {

// Maps the design's face names onto faces a Linux desktop has; call once at start-up.
void installFontSubstitutes();

QFont windowFont();              // the windows' plain face
QFont statusFont();              // the status labels' serif face
QFont titleFont(int pointSize);  // the splash title's face

// Whether the text must be shaped to be drawn right: joined scripts (Arabic, Hebrew, the
// Indic scripts...), combining accents, emoji. Latin, Greek, Cyrillic, Han and Hangul
// syllables look the same unshaped.
bool needsShaping(const QString& text);

// Lets a box that shows one text at a time skip shaping, slow to lay out, while its text
// does not need it: the box follows its text as it changes.
void shapeAsNeeded(QWidget* box, const QString& text);

}  // namespace app

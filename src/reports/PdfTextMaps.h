#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

#include "reports/GlyphText.h"

namespace reports {

// A ToUnicode CMap for one font of a PDF: each glyph, numbered as the PDF numbers it, to the
// characters it stands for. Glyphs that stand for nothing are left out.
QByteArray toUnicodeCMap(const FaceText& face);

// An incremental update to append to a PDF as a QPdfWriter wrote it, putting a map made by
// toUnicodeCMap() in the place of each font's own. `tail` is the file from byte `tailStart` to
// its end and holds the fonts, the cross-reference table and the trailer. Empty when the
// file's fonts are not the faces recorded (in number, name, order or count of glyphs): the
// file then keeps the writer's own maps, which read most text right.
QByteArray textMapUpdate(QByteArrayView tail, qint64 tailStart, const std::vector<FaceText>& faces);

}  // namespace reports

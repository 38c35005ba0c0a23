#pragma once

#include <QByteArray>
#include <QPaintDevice>
#include <QString>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace reports {

// The glyphs of one font face as a PDF writer embeds them, and the characters each stands for.
struct FaceText {
    QByteArray postscriptName;          // as the PDF names the font (blanks as '_')
    std::vector<std::uint32_t> glyphs;  // in the PDF's numbering: .notdef, then by first use
    std::unordered_map<std::uint32_t, QString> text;  // glyph → the characters first drawn with it
};

// A device that keeps, for each font face, the glyphs painted on it in the order a PDF writer
// takes them and the characters each was drawn for: painted the same pages as the PDF writer,
// it gives the text behind every glyph, which the writer's own text maps leave out for
// characters beyond U+FFFF and get wrong for shaped and shared glyphs.
class GlyphTextRecorder : public QPaintDevice {
  public:
    // Measures as `like` does, so that fonts resolve and shape as they do there.
    explicit GlyphTextRecorder(const QPaintDevice& like);
    ~GlyphTextRecorder() override;

    QPaintEngine* paintEngine() const override;
    // In the order of their first use, which is the order of the PDF's font objects.
    const std::vector<FaceText>& faces() const;

  protected:
    int metric(PaintDeviceMetric metric) const override;

  private:
    class Engine;
    std::unique_ptr<Engine> engine_;
    const QPaintDevice& like_;
};

}  // namespace reports

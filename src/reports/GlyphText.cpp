#include "reports/GlyphText.h"

#include <private/qfontengine_p.h>
#include <private/qtextengine_p.h>
#include <QHash>
#include <QPaintEngine>

namespace reports {

// Records text items only; a PDF writer gets the same items from the painter, one font face
// each, and numbers a face's glyphs as getGlyphPositions() hands them over.
class GlyphTextRecorder::Engine : public QPaintEngine {
  public:
    Engine() : QPaintEngine(AllFeatures) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    Type type() const override { return User; }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {
    }
    void drawPath(const QPainterPath&) override {}
    void drawLines(const QLineF*, int) override {}
    void drawRects(const QRectF*, int) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}

    void drawTextItem(const QPointF& at, const QTextItem& item) override {
        const auto& text = static_cast<const QTextItemInt&>(item);
        QFontEngine* fontEngine = text.fontEngine;
        const QFontEngine::FaceId id = fontEngine->faceId();
        if (id.filename.isEmpty()) {
            return;  // drawn as outlines, with no font in the PDF
        }
        Numbering face = faceOf(id, *fontEngine);
        noteClusters(text, face.kept.text);
        QVarLengthArray<glyph_t> glyphs;
        QVarLengthArray<QFixedPoint> positions;
        fontEngine->getGlyphPositions(text.glyphs, QTransform::fromTranslate(at.x(), at.y()),
                                      text.flags, glyphs, positions);
        for (const glyph_t glyph : glyphs) {
            face.add(glyph);
        }
    }

    std::vector<FaceText> faces;

  private:
    // A face as kept, with the number each of its glyphs has.
    struct Numbering {
        FaceText& kept;
        std::unordered_map<std::uint32_t, std::size_t>& numbers;
        void add(std::uint32_t glyph) {
            if (numbers.emplace(glyph, kept.glyphs.size()).second) {
                kept.glyphs.push_back(glyph);
            }
        }
    };

    Numbering faceOf(const QFontEngine::FaceId& id, QFontEngine& fontEngine) {
        auto found = faceIndex_.constFind(id);
        if (found == faceIndex_.cend()) {
            found = faceIndex_.insert(id, faces.size());
            FaceText face;
            face.postscriptName = fontEngine.properties().postscriptName.replace(' ', '_');
            faces.push_back(std::move(face));
            numbers_.emplace_back();
            Numbering{faces.back(), numbers_.back()}.add(0);  // .notdef comes first
        }
        return Numbering{faces[*found], numbers_[*found]};
    }

    // The characters of each cluster belong to its first glyph; later glyphs of a cluster
    // stand for nothing more.
    static void noteClusters(const QTextItemInt& item,
                             std::unordered_map<std::uint32_t, QString>& text) {
        if (item.chars == nullptr || item.logClusters == nullptr || item.num_chars <= 0) {
            return;
        }
        const int base = item.logClusters[0];
        for (int first = 0; first < item.num_chars;) {
            int end = first + 1;
            while (end < item.num_chars && item.logClusters[end] == item.logClusters[first]) {
                ++end;
            }
            const int glyph = item.logClusters[first] - base;
            if (glyph >= 0 && glyph < item.glyphs.numGlyphs) {
                text.try_emplace(item.glyphs.glyphs[glyph],
                                 QString(item.chars + first, end - first));
            }
            first = end;
        }
    }

    QHash<QFontEngine::FaceId, std::size_t> faceIndex_;
    std::vector<std::unordered_map<std::uint32_t, std::size_t>> numbers_;
};

GlyphTextRecorder::GlyphTextRecorder(const QPaintDevice& like)
    : engine_(std::make_unique<Engine>()), like_(like) {}

GlyphTextRecorder::~GlyphTextRecorder() = default;

QPaintEngine* GlyphTextRecorder::paintEngine() const {
    return engine_.get();
}

const std::vector<FaceText>& GlyphTextRecorder::faces() const {
    return engine_->faces;
}

// Asked each time: the device measured may change its page meanwhile.
int GlyphTextRecorder::metric(PaintDeviceMetric metric) const {
    switch (metric) {
        case PdmWidth:
            return like_.width();
        case PdmHeight:
            return like_.height();
        case PdmWidthMM:
            return like_.widthMM();
        case PdmHeightMM:
            return like_.heightMM();
        case PdmNumColors:
            return like_.colorCount();
        case PdmDepth:
            return like_.depth();
        case PdmDpiX:
            return like_.logicalDpiX();
        case PdmDpiY:
            return like_.logicalDpiY();
        case PdmPhysicalDpiX:
            return like_.physicalDpiX();
        case PdmPhysicalDpiY:
            return like_.physicalDpiY();
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        default:
            return QPaintDevice::metric(metric);
    }
}

}  // namespace reports

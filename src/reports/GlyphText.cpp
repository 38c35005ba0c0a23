#include "reports/GlyphText.h"

#include <private/qfontengine_p.h>
#include <private/qtextengine_p.h>
#include <QHash>
#include <QPaintEngine>
#include <algorithm>

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
        Face& face = faceOf(id, *fontEngine);
        noteClusters(text, face);
        QVarLengthArray<glyph_t> glyphs;
        QVarLengthArray<QFixedPoint> positions;
        fontEngine->getGlyphPositions(text.glyphs, QTransform::fromTranslate(at.x(), at.y()),
                                      text.flags, glyphs, positions);
        for (const glyph_t glyph : glyphs) {
            face.number(glyph);
        }
    }

    std::vector<FaceText> faces;

  private:
    // How surely a glyph stands for a text; a surer claim replaces a less sure one.
    enum class Claim { WholeCluster, OwnCharacter, RestOfCluster };

    // A face as kept, with the number each of its glyphs has and how sure each text is.
    struct Face {
        std::size_t index;
        std::unordered_map<std::uint32_t, std::size_t> numbers;
        std::unordered_map<std::uint32_t, Claim> claims;
        std::vector<FaceText>* all;

        FaceText& kept() { return (*all)[index]; }
        void number(std::uint32_t glyph) {
            if (numbers.emplace(glyph, kept().glyphs.size()).second) {
                kept().glyphs.push_back(glyph);
            }
        }
        // Makes a text only when it is kept: most glyphs are met again and again.
        void claim(std::uint32_t glyph, Claim claim, QStringView text) {
            const auto [held, added] = claims.try_emplace(glyph, claim);
            if (added || claim < held->second) {
                held->second = claim;
                kept().text[glyph] = text.toString();
            }
        }
    };

    // A character with the invisible ones after it (variation selectors, joiners), which
    // belong to it.
    struct Unit {
        char32_t character;
        QString text;
    };

    static bool invisible(char32_t c) {
        return QChar::category(c) == QChar::Other_Format || (c >= 0xFE00 && c <= 0xFE0F) ||
               (c >= 0xE0100 && c <= 0xE01EF) || (c >= 0x180B && c <= 0x180F);
    }

    static std::vector<Unit> unitsOf(QStringView cluster) {
        std::vector<Unit> units;
        for (const char32_t c : cluster.toUcs4()) {
            const QString text = QString::fromUcs4(&c, 1);
            if (invisible(c) && !units.empty()) {
                units.back().text += text;
            } else {
                units.push_back({c, text});
            }
        }
        return units;
    }

    Face& faceOf(const QFontEngine::FaceId& id, QFontEngine& fontEngine) {
        auto found = faceIndex_.constFind(id);
        if (found == faceIndex_.cend()) {
            found = faceIndex_.insert(id, faces.size());
            FaceText face;
            face.postscriptName = fontEngine.properties().postscriptName.replace(' ', '_');
            faces.push_back(std::move(face));
            faceStates_.push_back(std::make_unique<Face>(Face{faces.size() - 1, {}, {}, &faces}));
            faceStates_.back()->number(0);  // .notdef comes first
        }
        return *faceStates_[*found];
    }

    // What each glyph of each cluster stands for. A glyph that draws a cluster alone (a
    // ligature, an emoji with its selector) stands for all of it; otherwise a glyph that is
    // a character's own stands for that character, and the cluster's other characters go to
    // its first glyph that is no character's own (a joined form, a conjunct). A glyph has
    // one text in the whole file: the surest claim on it wins, and the first of equals.
    static void noteClusters(const QTextItemInt& item, Face& face) {
        if (item.chars == nullptr || item.logClusters == nullptr || item.num_chars <= 0) {
            return;
        }
        const QGlyphLayout& glyphs = item.glyphs;
        const int base = item.logClusters[0];
        for (int first = 0; first < item.num_chars;) {
            int end = first + 1;
            while (end < item.num_chars && item.logClusters[end] == item.logClusters[first]) {
                ++end;
            }
            const int from = item.logClusters[first] - base;
            const int to = end < item.num_chars ? item.logClusters[end] - base : glyphs.numGlyphs;
            QVarLengthArray<std::uint32_t, 8> drawn;
            for (int glyph = std::max(from, 0); glyph < std::min(to, glyphs.numGlyphs); ++glyph) {
                if (!glyphs.attributes[glyph].dontPrint) {
                    drawn.push_back(glyphs.glyphs[glyph]);
                }
            }
            noteCluster(QStringView(item.chars + first, end - first), drawn, *item.fontEngine,
                        face);
            first = end;
        }
    }

    static void noteCluster(QStringView cluster, const QVarLengthArray<std::uint32_t, 8>& drawn,
                            QFontEngine& fontEngine, Face& face) {
        const char32_t leading = cluster.size() > 1 && cluster[0].isHighSurrogate()
                                     ? QChar::surrogateToUcs4(cluster[0], cluster[1])
                                     : cluster[0].unicode();
        if (drawn.empty() || invisible(leading)) {
            return;  // a glyph drawn for invisible characters alone stands for nothing
        }
        if (drawn.size() == 1) {
            face.claim(drawn.front(), Claim::WholeCluster, cluster);
            return;
        }
        std::vector<Unit> units = unitsOf(cluster);
        std::vector<bool> owned(drawn.size(), false);
        for (qsizetype glyph = 0; glyph < drawn.size(); ++glyph) {
            for (Unit& unit : units) {
                if (!unit.text.isEmpty() && fontEngine.glyphIndex(unit.character) == drawn[glyph]) {
                    face.claim(drawn[glyph], Claim::OwnCharacter, unit.text);
                    unit.text.clear();
                    owned[glyph] = true;
                    break;
                }
            }
        }
        QString rest;
        for (const Unit& unit : units) {
            rest += unit.text;
        }
        const auto unowned = std::find(owned.begin(), owned.end(), false);
        if (!rest.isEmpty() && unowned != owned.end()) {
            face.claim(drawn[unowned - owned.begin()], Claim::RestOfCluster, rest);
        }
    }

    QHash<QFontEngine::FaceId, std::size_t> faceIndex_;
    std::vector<std::unique_ptr<Face>> faceStates_;
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

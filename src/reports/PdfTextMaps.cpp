#include "reports/PdfTextMaps.h"

#include <algorithm>
#include <bit>
#include <map>
#include <optional>

#include "reports/PdfTail.h"

namespace reports {
namespace {

using pdf::nameOf;
using pdf::numberOf;
using pdf::PdfTail;
using pdf::referenceOf;

// A composite font as the file has it: where its text map is, its name, its glyphs.
struct Font {
    qint64 toUnicode;
    QByteArray name;
    qint64 glyphCount;
};

// The glyphs a font holds, as its CIDSet says: one bit each.
std::optional<qint64> glyphCount(const PdfTail& pdf, QByteArrayView font) {
    const auto cidFont = referenceOf(font, "/DescendantFonts");
    const auto descriptor =
        cidFont ? referenceOf(pdf.dictionary(*cidFont), "/FontDescriptor") : std::nullopt;
    const auto cidSet =
        descriptor ? referenceOf(pdf.dictionary(*descriptor), "/CIDSet") : std::nullopt;
    const auto bits = cidSet ? pdf.stream(*cidSet) : std::nullopt;
    if (!bits) {
        return std::nullopt;
    }
    qint64 count = 0;
    for (const char byte : *bits) {
        count += std::popcount(static_cast<unsigned char>(byte));
    }
    return count;
}

// The composite fonts, in the order of their object numbers, which is the order of first use.
std::optional<std::vector<Font>> fontsOf(const PdfTail& pdf) {
    std::vector<Font> fonts;
    for (const qint64 object : pdf.objects()) {
        const QByteArrayView dictionary = pdf.dictionary(object);
        if (nameOf(dictionary, "/Subtype") != "Type0") {
            continue;
        }
        const auto toUnicode = referenceOf(dictionary, "/ToUnicode");
        const auto glyphs = glyphCount(pdf, dictionary);
        if (!toUnicode || !glyphs) {
            return std::nullopt;
        }
        fonts.push_back({*toUnicode, nameOf(dictionary, "/BaseFont"), *glyphs});
    }
    return fonts;
}

// Four hex digits: a glyph's number, or one UTF-16 unit of a text.
QByteArray hex(unsigned value) {
    return QByteArray::number(value, 16).rightJustified(4, '0').toUpper();
}

QByteArray hex(QStringView text) {
    QByteArray out;
    for (const QChar unit : text) {
        out += hex(unit.unicode());
    }
    return out;
}

QByteArray reference(QByteArrayView trailer, QByteArrayView key) {
    const auto object = referenceOf(trailer, key);
    return object ? " " + key.toByteArray() + " " + QByteArray::number(*object) + " 0 R"
                  : QByteArray();
}

}  // namespace

QByteArray toUnicodeCMap(const FaceText& face) {
    std::vector<QByteArray> entries;
    for (std::size_t number = 1; number < face.glyphs.size() && number <= 0xFFFF; ++number) {
        const auto text = face.text.find(face.glyphs[number]);
        if (text != face.text.end() && !text->second.isEmpty()) {
            entries.push_back("<" + hex(static_cast<unsigned>(number)) + "> <" +
                              hex(QStringView(text->second).left(256)) + ">\n");
        }
    }
    QByteArray map =
        "/CIDInit /ProcSet findresource begin\n"
        "12 dict begin\n"
        "begincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def\n"
        "/CMapType 2 def\n"
        "1 begincodespacerange\n"
        "<0000> <FFFF>\n"
        "endcodespacerange\n";
    for (std::size_t first = 0; first < entries.size(); first += 100) {  // at most 100 a block
        const std::size_t count = std::min<std::size_t>(100, entries.size() - first);
        map += QByteArray::number(static_cast<qulonglong>(count)) + " beginbfchar\n";
        for (std::size_t index = first; index < first + count; ++index) {
            map += entries[index];
        }
        map += "endbfchar\n";
    }
    map +=
        "endcmap\n"
        "CMapName currentdict /CMap defineresource pop\n"
        "end\n"
        "end\n";
    return map;
}

QByteArray textMapUpdate(QByteArrayView tail, qint64 tailStart,
                         const std::vector<FaceText>& faces) {
    const PdfTail pdf(tail, tailStart);
    const auto fonts = pdf.valid() ? fontsOf(pdf) : std::nullopt;
    const auto size = numberOf(pdf.trailer(), "/Size");
    if (!fonts || !size || fonts->size() != faces.size()) {
        return {};
    }
    for (std::size_t index = 0; index < faces.size(); ++index) {
        const Font& font = (*fonts)[index];
        if (font.name != faces[index].postscriptName ||
            font.glyphCount != static_cast<qint64>(faces[index].glyphs.size())) {
            return {};
        }
    }
    const qint64 end = tailStart + tail.size();
    QByteArray update;
    std::map<qint64, qint64> offsets;
    for (std::size_t index = 0; index < faces.size(); ++index) {
        const QByteArray map = toUnicodeCMap(faces[index]);
        const qint64 object = (*fonts)[index].toUnicode;
        offsets[object] = end + update.size();
        update += QByteArray::number(object) + " 0 obj\n<< /Length " +
                  QByteArray::number(map.size()) + " >>\nstream\n" + map + "\nendstream\nendobj\n";
    }
    const qint64 xref = end + update.size();
    update += "xref\n";
    for (const auto& [object, offset] : offsets) {
        update += QByteArray::number(object) + " 1\n" +
                  QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    }
    update += "trailer\n<< /Size " + QByteArray::number(*size) + reference(pdf.trailer(), "/Root") +
              reference(pdf.trailer(), "/Info") + " /Prev " + QByteArray::number(pdf.xrefAt()) +
              " >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return update;
}

}  // namespace reports

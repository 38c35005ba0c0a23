#include "reports/PdfTextMaps.h"

#include <algorithm>
#include <bit>
#include <map>
#include <optional>

namespace reports {
namespace {

bool isDelimiterOrSpace(char c) {
    return QByteArrayView(" \t\r\n\f/[]<>()").contains(c);
}

// Reads the number at `at`, past blanks before it, and moves `at` past it.
std::optional<qint64> readNumber(QByteArrayView text, qsizetype& at) {
    while (at < text.size() && QByteArrayView(" \t\r\n").contains(text[at])) {
        ++at;
    }
    qint64 value = 0;
    const qsizetype first = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - first < 15) {
        value = value * 10 + (text[at++] - '0');
    }
    if (at == first) {
        return std::nullopt;
    }
    return value;
}

std::optional<qint64> numberAt(QByteArrayView text, qsizetype at) {
    return readNumber(text, at);
}

// Where the value of `key` begins in a dictionary's text: "/Length" does not find "/Length1".
std::optional<qsizetype> valueOf(QByteArrayView dictionary, QByteArrayView key) {
    for (qsizetype at = dictionary.indexOf(key); at >= 0; at = dictionary.indexOf(key, at + 1)) {
        const qsizetype end = at + key.size();
        if (end < dictionary.size() && isDelimiterOrSpace(dictionary[end])) {
            return end;
        }
    }
    return std::nullopt;
}

// A number given in place, not by reference ("/Length 38 0 R").
std::optional<qint64> numberOf(QByteArrayView dictionary, QByteArrayView key) {
    auto at = valueOf(dictionary, key);
    const auto number = at ? readNumber(dictionary, *at) : std::nullopt;
    if (!number || readNumber(dictionary, *at)) {
        return std::nullopt;
    }
    return number;
}

// "/Key 12 0 R" or "/Key [12 0 R]": the object referred to.
std::optional<qint64> referenceOf(QByteArrayView dictionary, QByteArrayView key) {
    auto at = valueOf(dictionary, key);
    if (!at) {
        return std::nullopt;
    }
    while (*at < dictionary.size() && QByteArrayView(" \t\r\n[").contains(dictionary[*at])) {
        ++*at;
    }
    return numberAt(dictionary, *at);
}

QByteArray nameOf(QByteArrayView dictionary, QByteArrayView key) {
    auto at = valueOf(dictionary, key);
    if (!at) {
        return {};
    }
    while (*at < dictionary.size() && QByteArrayView(" \t\r\n").contains(dictionary[*at])) {
        ++*at;
    }
    if (*at >= dictionary.size() || dictionary[*at] != '/') {
        return {};
    }
    qsizetype end = *at + 1;
    while (end < dictionary.size() && !isDelimiterOrSpace(dictionary[end])) {
        ++end;
    }
    return dictionary.sliced(*at + 1, end - *at - 1).toByteArray();
}

// The end of the dictionary beginning at `at` ("<<"), past strings and nested dictionaries.
std::optional<qsizetype> dictionaryEnd(QByteArrayView text, qsizetype at) {
    int depth = 0;
    while (at + 1 < text.size()) {
        if (text.sliced(at, 2) == "<<") {
            ++depth;
            at += 2;
        } else if (text.sliced(at, 2) == ">>") {
            at += 2;
            if (--depth == 0) {
                return at;
            }
        } else if (text[at] == '(') {
            for (int open = 0; at < text.size(); ++at) {
                if (text[at] == '\\') {
                    ++at;
                } else if (text[at] == '(') {
                    ++open;
                } else if (text[at] == ')' && --open == 0) {
                    break;
                }
            }
            ++at;
        } else if (text[at] == '<') {
            at = text.indexOf('>', at);
            if (at < 0) {
                return std::nullopt;
            }
            ++at;
        } else {
            ++at;
        }
    }
    return std::nullopt;
}

// The end of a file as a QPdfWriter writes it: one cross-reference section, the trailer and,
// before them, the objects written last (the fonts among them).
class PdfTail {
  public:
    PdfTail(QByteArrayView bytes, qint64 start) : bytes_(bytes), start_(start) {
        const qsizetype startxref = bytes.lastIndexOf("startxref");
        const auto xref = startxref < 0 ? std::nullopt : numberAt(bytes, startxref + 9);
        if (xref && readXref(*xref)) {
            xrefAt_ = *xref;
        }
    }

    bool valid() const { return xrefAt_ >= 0; }
    qint64 xrefAt() const { return xrefAt_; }
    QByteArrayView trailer() const { return trailer_; }

    // The objects in the tail, in the order of their numbers.
    std::vector<qint64> objects() const {
        std::vector<qint64> found;
        for (const auto& [object, offset] : offsets_) {
            if (offset >= start_) {
                found.push_back(object);
            }
        }
        return found;
    }

    QByteArrayView dictionary(qint64 object) const {
        const auto at = dictionaryStart(object);
        const auto end = at ? dictionaryEnd(bytes_, *at) : std::nullopt;
        return end ? bytes_.sliced(*at, *end - *at) : QByteArrayView();
    }

    // A stream's bytes, its length given in its dictionary.
    std::optional<QByteArrayView> stream(qint64 object) const {
        const QByteArrayView head = dictionary(object);
        const auto length = numberOf(head, "/Length");
        if (head.isEmpty() || !length) {
            return std::nullopt;
        }
        qsizetype at = head.data() - bytes_.data() + head.size();
        while (at < bytes_.size() && QByteArrayView(" \r\n").contains(bytes_[at])) {
            ++at;
        }
        if (!bytes_.sliced(at).startsWith("stream")) {
            return std::nullopt;
        }
        at += 6;
        at += bytes_.sliced(at).startsWith("\r\n") ? 2 : 1;
        if (at + *length > bytes_.size()) {
            return std::nullopt;
        }
        return bytes_.sliced(at, *length);
    }

  private:
    bool readXref(qint64 xref) {
        qsizetype at = xref - start_;
        if (at < 0 || !bytes_.sliced(at).startsWith("xref")) {
            return false;
        }
        at += 4;
        const auto first = readNumber(bytes_, at);
        const auto count = readNumber(bytes_, at);
        if (!first || !count) {
            return false;
        }
        at = bytes_.indexOf('\n', at) + 1;  // each entry is 20 bytes
        if (at + *count * 20 > bytes_.size()) {
            return false;
        }
        for (qint64 index = 0; index < *count; ++index, at += 20) {
            const auto offset = numberAt(bytes_, at);
            if (offset && bytes_[at + 17] == 'n') {
                offsets_[*first + index] = *offset;
            }
        }
        const qsizetype trailer = bytes_.indexOf("trailer", at);
        const auto end =
            trailer < 0 ? std::nullopt : dictionaryEnd(bytes_, bytes_.indexOf("<<", trailer));
        if (!end) {
            return false;
        }
        trailer_ = bytes_.sliced(trailer, *end - trailer);
        return true;
    }

    std::optional<qsizetype> dictionaryStart(qint64 object) const {
        const auto found = offsets_.find(object);
        if (found == offsets_.end() || found->second < start_) {
            return std::nullopt;
        }
        const qsizetype at = found->second - start_;
        const QByteArray opening = QByteArray::number(object) + " 0 obj";
        if (!bytes_.sliced(at).startsWith(opening)) {
            return std::nullopt;
        }
        const qsizetype open = bytes_.indexOf("<<", at + opening.size());
        const qsizetype close = bytes_.indexOf("endobj", at + opening.size());
        if (open < 0 || (close >= 0 && close < open)) {
            return std::nullopt;
        }
        return open;
    }

    QByteArrayView bytes_;
    qint64 start_;
    qint64 xrefAt_ = -1;
    std::map<qint64, qint64> offsets_;  // object → where it begins in the file
    QByteArrayView trailer_;
};

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

QByteArray hex(QStringView text) {
    QByteArray out;
    for (const QChar unit : text) {
        out += QByteArray::number(unit.unicode(), 16).rightJustified(4, '0').toUpper();
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
            entries.push_back("<" +
                              QByteArray::number(static_cast<qulonglong>(number), 16)
                                  .rightJustified(4, '0')
                                  .toUpper() +
                              "> <" + hex(QStringView(text->second).left(256)) + ">\n");
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

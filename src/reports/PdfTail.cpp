#include "reports/PdfTail.h"

namespace reports::pdf {
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

}  // namespace

std::optional<qint64> numberOf(QByteArrayView dictionary, QByteArrayView key) {
    auto at = valueOf(dictionary, key);
    const auto number = at ? readNumber(dictionary, *at) : std::nullopt;
    if (!number || readNumber(dictionary, *at)) {
        return std::nullopt;
    }
    return number;
}

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

PdfTail::PdfTail(QByteArrayView bytes, qint64 start) : bytes_(bytes), start_(start) {
    if (!bytes.trimmed().endsWith("%%EOF")) {
        return;  // not a whole file
    }
    const qsizetype startxref = bytes.lastIndexOf("startxref");
    const auto xref = startxref < 0 ? std::nullopt : numberAt(bytes, startxref + 9);
    if (xref && readXref(*xref)) {
        xrefAt_ = *xref;
    }
}

std::vector<qint64> PdfTail::objects() const {
    std::vector<qint64> found;
    for (const auto& [object, offset] : offsets_) {
        if (offset >= start_) {
            found.push_back(object);
        }
    }
    return found;
}

QByteArrayView PdfTail::dictionary(qint64 object) const {
    const auto at = dictionaryStart(object);
    const auto end = at ? dictionaryEnd(bytes_, *at) : std::nullopt;
    return end ? bytes_.sliced(*at, *end - *at) : QByteArrayView();
}

std::optional<QByteArrayView> PdfTail::stream(qint64 object) const {
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
    at += bytes_.sliced(at).startsWith("stream\r\n") ? 8 : 7;
    if (at + *length > bytes_.size()) {
        return std::nullopt;
    }
    return bytes_.sliced(at, *length);
}

bool PdfTail::readXref(qint64 xref) {
    qsizetype at = xref - start_;
    if (at < 0 || at >= bytes_.size() || !bytes_.sliced(at).startsWith("xref")) {
        return false;
    }
    at += 4;
    const auto first = readNumber(bytes_, at);
    const auto count = readNumber(bytes_, at);
    at = bytes_.indexOf('\n', at) + 1;
    if (!first || !count || at == 0 || at + *count * 20 > bytes_.size()) {
        return false;
    }
    for (qint64 index = 0; index < *count; ++index, at += 20) {  // 20 bytes an entry
        const auto offset = numberAt(bytes_, at);
        if (offset && bytes_[at + 17] == 'n') {
            offsets_[*first + index] = *offset;
        }
    }
    const qsizetype trailer = bytes_.indexOf("trailer", at);
    const qsizetype open = trailer < 0 ? -1 : bytes_.indexOf("<<", trailer);
    const auto end = open < 0 ? std::nullopt : dictionaryEnd(bytes_, open);
    if (!end) {
        return false;
    }
    trailer_ = bytes_.sliced(trailer, *end - trailer);
    return true;
}

std::optional<qsizetype> PdfTail::dictionaryStart(qint64 object) const {
    const auto found = offsets_.find(object);
    if (found == offsets_.end() || found->second < start_ ||
        found->second - start_ >= bytes_.size()) {
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

}  // namespace reports::pdf

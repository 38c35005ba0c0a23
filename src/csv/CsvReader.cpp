#include "csv/CsvReader.h"

#include <algorithm>
#include <cstring>

namespace csv {
namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

std::size_t lineAt(std::string_view data, std::size_t offset) {
    return 1 + static_cast<std::size_t>(std::count(data.begin(), data.begin() + offset, '\n'));
}

// The length of the UTF-8 sequence at `at`, or 0 when it is not one (overlong forms,
// surrogates and code points beyond U+10FFFF included).
std::size_t sequenceLength(std::string_view data, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(data[at + i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > data.size() || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

}  // namespace

std::string_view withoutByteOrderMark(std::string_view data) {
    return data.starts_with(ByteOrderMark) ? data.substr(ByteOrderMark.size()) : data;
}

void requireUtf8Text(std::string_view data) {
    if (const void* zero = std::memchr(data.data(), 0, data.size())) {
        const auto at = static_cast<std::size_t>(static_cast<const char*>(zero) - data.data());
        throw Malformed(lineAt(data, at), "it holds a zero byte, as binary files do");
    }
    for (std::size_t at = 0; at < data.size();) {
        if (static_cast<unsigned char>(data[at]) < 0x80) {  // the common case, byte by byte
            ++at;
            continue;
        }
        const std::size_t length = sequenceLength(data, at);
        if (length == 0) {
            throw Malformed(lineAt(data, at),
                            "it is not UTF-8 text; save it as CSV in UTF-8 and import that");
        }
        at += length;
    }
}

bool Reader::next(std::vector<Field>& fields) {
    if (pos_ >= data_.size()) {
        return false;
    }
    recordLine_ = line_;
    std::size_t count = 0;
    for (;;) {
        if (count == fields.size()) {
            fields.emplace_back();
        }
        Field& field = fields[count++];
        field.text.clear();
        field.quoted = pos_ < data_.size() && data_[pos_] == '"';
        if (field.quoted) {
            readQuoted(field);
        } else {
            readBare(field);
        }
        if (pos_ < data_.size() && data_[pos_] == delimiter_) {
            ++pos_;
            continue;
        }
        if (pos_ < data_.size() && !skipLineBreak()) {
            throw Malformed(line_, "a closing quote is followed by more text on the line");
        }
        break;
    }
    fields.resize(count);
    return true;
}

void Reader::readBare(Field& field) {
    const std::size_t start = pos_;
    while (pos_ < data_.size()) {
        const char c = data_[pos_];
        if (c == delimiter_ || c == '\n' || c == '\r') {
            break;
        }
        ++pos_;
    }
    field.text.assign(data_.data() + start, pos_ - start);
}

void Reader::readQuoted(Field& field) {
    const std::size_t opened = line_;
    ++pos_;  // the opening quote
    for (;;) {
        const std::size_t quote = data_.find('"', pos_);
        if (quote == std::string_view::npos) {
            throw Malformed(opened, "a quoted field that begins on this line is never closed");
        }
        const std::string_view part = data_.substr(pos_, quote - pos_);
        line_ += static_cast<std::size_t>(std::count(part.begin(), part.end(), '\n'));
        field.text.append(part);
        pos_ = quote + 1;
        if (pos_ < data_.size() && data_[pos_] == '"') {  // a doubled quote is one quote
            field.text += '"';
            ++pos_;
            continue;
        }
        return;
    }
}

bool Reader::skipLineBreak() {
    if (data_[pos_] == '\r') {
        ++pos_;
        if (pos_ < data_.size() && data_[pos_] == '\n') {
            ++pos_;
        }
    } else if (data_[pos_] == '\n') {
        ++pos_;
    } else {
        return false;
    }
    ++line_;
    return true;
}

}  // namespace csv

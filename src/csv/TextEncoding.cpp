#include "csv/TextEncoding.h"

#include <langinfo.h>
#include <unicode/ucnv.h>
#include <unicode/ucsdet.h>
#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "csv/CsvReader.h"
#include "csv/CsvShape.h"

namespace csv {
namespace {

constexpr std::array<std::string_view, 5> Offered{"UTF-8", "UTF-16", "Windows-1252", "ISO-8859-1",
                                                  "ISO-8859-15"};
// A detection less sure than this (of 100) is no better than the usual guess.
constexpr int LeastConfidence = 10;
constexpr int CloseConfidence = 10;             // a proposal this near the best is as good a guess
constexpr std::size_t LookedAtForOrder = 4096;  // bytes of a UTF-16 file without a mark

bool sameEncoding(std::string_view a, std::string_view b) {
    return ucnv_compareNames(std::string(a).c_str(), std::string(b).c_str()) == 0;
}

// ICU's name of an encoding as users know it: "windows-1252" is Windows-1252; a wide one's
// byte order is not the user's concern.
std::string userName(std::string_view name) {
    if (name.starts_with("UTF-16")) {
        return "UTF-16";
    }
    if (name.starts_with("UTF-32")) {
        return "UTF-32";
    }
    if (name.starts_with("windows-")) {
        return "Windows-" + std::string(name.substr(8));
    }
    UErrorCode status = U_ZERO_ERROR;
    const char* standard = ucnv_getStandardName(std::string(name).c_str(), "MIME", &status);
    return U_SUCCESS(status) && standard ? standard : std::string(name);
}

bool isUtf8Text(std::string_view bytes) {
    try {
        requireUtf8Text(withoutByteOrderMark(bytes));
        return true;
    } catch (const Malformed&) {
        return false;
    }
}

bool isWestern(std::string_view name) {
    return sameEncoding(name, "ISO-8859-1") || sameEncoding(name, "windows-1252");
}

// ICU's proposal, when it is sure enough and names an encoding of text (not a wide one,
// which has zero bytes and was told apart before). A few lines of Latin letters fit several
// of the ISO-8859 family about as well: among those close to the best, the locale's own comes
// first, then Windows-1252, what most of the world's spreadsheets write.
std::string proposal(std::string_view bytes) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCharsetDetector, decltype(&ucsdet_close)> detector(ucsdet_open(&status),
                                                                        &ucsdet_close);
    if (U_FAILURE(status)) {
        return {};
    }
    ucsdet_setText(detector.get(), bytes.data(),
                   static_cast<int32_t>(std::min<std::size_t>(bytes.size(), INT32_MAX)), &status);
    int32_t found = 0;
    const UCharsetMatch** matches = ucsdet_detectAll(detector.get(), &found, &status);
    std::vector<std::string_view> close;  // the best first
    int32_t best = 0;
    for (int32_t i = 0; U_SUCCESS(status) && i < found; ++i) {
        const std::string_view name = ucsdet_getName(matches[i], &status);
        const int32_t confidence = ucsdet_getConfidence(matches[i], &status);
        best = std::max(best, confidence);
        if (confidence < LeastConfidence || confidence + CloseConfidence < best) {
            break;
        }
        if (!name.starts_with("UTF-") && !name.starts_with("IBM42")) {  // not the visual Hebrew
            close.push_back(name);
        }
    }
    const char* locale = nl_langinfo(CODESET);
    for (const auto& name : close) {
        if (locale && sameEncoding(name, locale)) {
            return userName(name);
        }
    }
    if (std::any_of(close.begin(), close.end(), isWestern)) {
        return "Windows-1252";  // ISO-8859-1's letters, and the quotes and dashes beside
    }
    return close.empty() ? std::string() : userName(close.front());
}

// ICU's name for a wide encoding: by its byte order mark, else by where Latin letters' zero
// bytes fall (after the letter: little-endian, as Windows writes it).
std::string wideName(std::string_view bytes, std::string_view encoding) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
        bytes.starts_with(std::string_view("\0\0\xFE\xFF", 4))) {
        return std::string(encoding);  // ICU reads the mark and drops it
    }
    const std::size_t unit = encoding == "UTF-16" ? 2 : 4;
    std::size_t zerosFirst = 0, zerosLast = 0;
    for (std::size_t at = 0; at + unit <= std::min(bytes.size(), LookedAtForOrder); at += unit) {
        zerosFirst += bytes[at] == 0 ? 1 : 0;
        zerosLast += bytes[at + unit - 1] == 0 ? 1 : 0;
    }
    return std::string(encoding) + (zerosFirst > zerosLast ? "BE" : "LE");
}

std::size_t linesIn(std::string_view text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// Through ICU, from the encoding to UTF-8 in steps, stopping at the first byte the encoding
// has no character for.
std::string convert(std::string_view bytes, const std::string& from, const std::string& name) {
    UErrorCode status = U_ZERO_ERROR;
    using Converter = std::unique_ptr<UConverter, decltype(&ucnv_close)>;
    Converter source(ucnv_open(from.c_str(), &status), &ucnv_close);
    Converter target(ucnv_open("UTF-8", &status), &ucnv_close);
    if (U_FAILURE(status)) {
        throw Malformed(0, "it cannot be read as " + name + " here");
    }
    ucnv_setToUCallBack(source.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    std::string text(bytes.size() + bytes.size() / 2 + 16, '\0');
    char* into = text.data();
    const char* read = bytes.data();
    std::array<UChar, 1024> pivot;
    UChar* pivotSource = pivot.data();
    UChar* pivotTarget = pivot.data();
    for (bool reset = true;; reset = false) {
        status = U_ZERO_ERROR;
        ucnv_convertEx(target.get(), source.get(), &into, text.data() + text.size(), &read,
                       bytes.data() + bytes.size(), pivot.data(), &pivotSource, &pivotTarget,
                       pivot.data() + pivot.size(), reset, true, &status);
        if (status != U_BUFFER_OVERFLOW_ERROR) {
            break;
        }
        const std::size_t written = static_cast<std::size_t>(into - text.data());
        text.resize(text.size() * 2);
        into = text.data() + written;
    }
    text.resize(static_cast<std::size_t>(into - text.data()));
    if (U_FAILURE(status)) {
        throw Malformed(linesIn(text) + 1, "it is not " + name + " text");
    }
    return text;
}

}  // namespace

std::string detectEncoding(std::string_view bytes) {
    if (const char* wide = wideEncodingOf(bytes)) {
        return wide;
    }
    if (isUtf8Text(bytes)) {
        return "UTF-8";
    }
    const std::string proposed = proposal(bytes);
    return proposed.empty() ? "Windows-1252" : proposed;
}

std::vector<std::string> encodingChoices(const std::string& detected) {
    std::vector<std::string> choices(Offered.begin(), Offered.end());
    const auto offer = [&](const std::string& name) {
        if (!name.empty() && std::none_of(choices.begin(), choices.end(), [&](const auto& choice) {
                return sameEncoding(choice, name);
            })) {
            choices.push_back(name);
        }
    };
    const char* locale = nl_langinfo(CODESET);
    if (locale && !sameEncoding(locale, "US-ASCII")) {
        offer(userName(locale));
    }
    offer(detected);
    return choices;
}

std::string readAsUtf8(std::string_view bytes, const std::string& encoding) {
    if (encoding == "UTF-8") {
        const std::string_view text = withoutByteOrderMark(bytes);
        requireUtf8Text(text);
        return std::string(text);
    }
    const bool wide = encoding == "UTF-16" || encoding == "UTF-32";
    const std::string text = convert(bytes, wide ? wideName(bytes, encoding) : encoding, encoding);
    requireUtf8Text(text);  // a zero byte: a binary file
    return text;
}

}  // namespace csv

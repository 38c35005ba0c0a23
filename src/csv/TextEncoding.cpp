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

// The lines that hold other bytes than ASCII, as far as they go to a bound: what tells one
// legacy encoding from another, however far into a large file they come.
std::string linesBeyondAscii(std::string_view bytes) {
    constexpr std::size_t Enough = 64 * 1024;
    std::string sample;
    for (std::size_t start = 0; start < bytes.size() && sample.size() < Enough;) {
        std::size_t end = bytes.find('\n', start);
        end = end == std::string_view::npos ? bytes.size() : end + 1;
        const std::string_view line = bytes.substr(start, end - start);
        if (std::any_of(line.begin(), line.end(),
                        [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
            sample += line;
        }
        start = end;
    }
    return sample;
}

// ICU's proposals for text (not a wide encoding, which has zero bytes and was told apart
// before): the best first, then the others it finds at all. A few lines of Latin letters fit
// several of the ISO-8859 family about as well: among those close to the best, the locale's
// own comes first, then Windows-1252, what most of the world's spreadsheets write.
EncodingGuess proposals(std::string_view bytes) {
    const std::string sample = linesBeyondAscii(bytes);
    EncodingGuess guess{"Windows-1252", {}};
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCharsetDetector, decltype(&ucsdet_close)> detector(ucsdet_open(&status),
                                                                        &ucsdet_close);
    if (U_FAILURE(status)) {
        return guess;
    }
    ucsdet_setText(detector.get(), sample.data(), static_cast<int32_t>(sample.size()), &status);
    int32_t found = 0;
    const UCharsetMatch** matches = ucsdet_detectAll(detector.get(), &found, &status);
    std::vector<std::string_view> close;  // the best first
    int32_t best = 0;
    for (int32_t i = 0; U_SUCCESS(status) && i < found; ++i) {
        const std::string_view name = ucsdet_getName(matches[i], &status);
        const int32_t confidence = ucsdet_getConfidence(matches[i], &status);
        best = std::max(best, confidence);
        if (name.starts_with("UTF-") || name.starts_with("IBM42")) {  // not the visual Hebrew
            continue;
        }
        if (confidence >= LeastConfidence && confidence + CloseConfidence >= best) {
            close.push_back(name);
        }
        guess.others.push_back(isWestern(name) ? "Windows-1252" : userName(name));
    }
    const char* locale = nl_langinfo(CODESET);
    const auto localeOwn = std::find_if(close.begin(), close.end(), [&](std::string_view name) {
        return locale && sameEncoding(name, locale);
    });
    if (localeOwn != close.end()) {
        guess.encoding = userName(*localeOwn);
    } else if (!close.empty() && std::none_of(close.begin(), close.end(), isWestern)) {
        guess.encoding = userName(close.front());
    }
    return guess;
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
        throw NotInEncoding(linesIn(text) + 1, "it is not " + name + " text");
    }
    return text;
}

// Bytes read in a legacy encoding make letters of almost anything: a binary file shows
// itself by the control characters no text holds (a tab, a line's end, a form feed and a
// closing ^Z aside).
void refuseControlCharacters(std::string_view text) {
    const auto control = std::find_if(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != 0x1A) ||
               byte == 0x7F;
    });
    if (control != text.end()) {
        const auto at = static_cast<std::size_t>(control - text.begin());
        throw Malformed(linesIn(text.substr(0, at)) + 1,
                        "it holds control characters, as binary files do");
    }
}

}  // namespace

EncodingGuess detectEncoding(std::string_view bytes) {
    if (const char* wide = wideEncodingOf(bytes)) {
        return {wide, {}};
    }
    if (isUtf8Text(bytes)) {
        return {"UTF-8", {}};
    }
    return proposals(bytes);
}

std::vector<std::string> encodingChoices(const EncodingGuess& guess) {
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
    offer(guess.encoding);
    for (const std::string& other : guess.others) {
        offer(other);
    }
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
    refuseControlCharacters(text);
    return text;
}

}  // namespace csv

#include "csv/CsvShape.h"

#include <algorithm>
#include <vector>

#include "csv/CsvReader.h"

namespace csv {
namespace {

constexpr std::size_t FirstRecordsLookedAt = 50;
constexpr std::size_t WidestCounted = 4;

}  // namespace

const char* wideEncodingOf(std::string_view bytes) {
    if (bytes.starts_with(std::string_view("\xFF\xFE\0\0", 4)) ||
        bytes.starts_with(std::string_view("\0\0\xFE\xFF", 4))) {
        return "UTF-32";
    }
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        return "UTF-16";
    }
    // Latin letters of a wide encoding: every other byte zero, or three of every four, in
    // most of the first characters (a dash or a Greek letter has none).
    const auto zeros = [&](std::size_t step) {
        const std::size_t units = std::min<std::size_t>(bytes.size(), 256) / step;
        if (units < 2) {
            return false;
        }
        std::size_t latin = 0;
        for (std::size_t unit = 0; unit < units; ++unit) {
            const std::string_view code = bytes.substr(unit * step, step);
            latin += std::count(code.begin(), code.end(), '\0') == std::ptrdiff_t(step - 1) &&
                             !(code.front() == 0 && code.back() == 0)
                         ? 1
                         : 0;
        }
        return latin * 4 >= units * 3;
    };
    return zeros(4) ? "UTF-32" : zeros(2) ? "UTF-16" : nullptr;
}

std::size_t widestOfFirstRecords(std::string_view text, char delimiter) {
    Reader reader(text, delimiter);
    std::vector<Field> fields;
    std::size_t widest = 0;
    for (std::size_t row = 0; row < FirstRecordsLookedAt && widest < WidestCounted; ++row) {
        try {
            if (!reader.next(fields)) {
                break;
            }
        } catch (const Malformed&) {
            break;  // the read of the records says what is wrong there
        }
        widest = std::max(widest, std::min(fields.size(), WidestCounted));
    }
    return widest;
}

}  // namespace csv

#include "app/transfer/DiscogsExport.h"

#include <algorithm>
#include <cctype>

namespace app::discogs {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string lower(std::string_view text) {
    std::string small(text);
    std::transform(small.begin(), small.end(), small.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return small;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

bool isExportHeader(const std::vector<std::string>& names) {
    bool release = false, catalogNumber = false;
    for (const std::string& name : names) {
        const std::string small = lower(trimmed(name));
        release = release || small == "release_id";
        catalogNumber = catalogNumber || small == "catalog#" || small == "catalog number";
    }
    return release && catalogNumber;
}

std::string artistOf(std::string_view artist) {
    if (artist.find(" (") == std::string_view::npos) {
        return std::string(artist);  // most names: nothing to take away
    }
    std::string plain;
    for (std::size_t at = 0; at < artist.size();) {
        // " (" digits ")" ends a name: at the end, or before the next name's separator.
        if (artist.substr(at, 2) == " (") {
            std::size_t end = at + 2;
            while (end < artist.size() && isDigit(artist[end])) {
                ++end;
            }
            const bool number = end > at + 2 && end < artist.size() && artist[end] == ')';
            const bool endsName = number && (end + 1 == artist.size() || artist[end + 1] == ',' ||
                                             artist[end + 1] == ' ');
            if (endsName) {
                at = end + 1;
                continue;
            }
        }
        plain += artist[at++];
    }
    return plain;
}

std::string formatOf(std::string_view formats) {
    std::string_view first = trimmed(formats.substr(0, formats.find(',')));
    std::size_t digits = 0;
    while (digits < first.size() && isDigit(first[digits])) {
        ++digits;
    }
    if (digits > 0 && digits + 1 < first.size() && first[digits] == 'x') {
        first.remove_prefix(digits + 1);
    }
    return std::string(trimmed(first));
}

std::optional<std::string> categoryOf(std::string_view folder) {
    const std::string_view name = trimmed(folder);
    if (name.empty() || name == "Uncategorized") {
        return std::nullopt;
    }
    return std::string(name);
}

}  // namespace app::discogs

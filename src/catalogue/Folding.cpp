#include "catalogue/Folding.h"

#include <sqlite3.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>

namespace db::collation {
namespace {

const icu::Normalizer2& normalizer(bool compatibility) {
    UErrorCode status = U_ZERO_ERROR;
    return *(compatibility ? icu::Normalizer2::getNFKDInstance(status)
                           : icu::Normalizer2::getNFCInstance(status));
}

void sqlFold(sqlite3_context* context, int, sqlite3_value** values) {
    if (sqlite3_value_type(values[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(values[0]));
    const std::string folded = foldedForSearch(
        std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(values[0]))));
    sqlite3_result_text(context, folded.data(), static_cast<int>(folded.size()), SQLITE_TRANSIENT);
}

// Whether `text`, folded, holds `word` (folded already). ASCII is compared letter for
// letter, its capitals as small letters, without making a folded copy.
bool holds(std::string_view text, std::string_view word) {
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii) {
        return foldedForSearch(text).find(word) != std::string::npos;
    }
    const auto small = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return std::search(text.begin(), text.end(), word.begin(), word.end(),
                       [&](char a, char b) { return small(a) == b; }) != text.end();
}

// quorvane_holds(word, text...): whether any of the texts, folded, holds the word (folded
// already), in one call for a record's four texts.
void sqlHolds(sqlite3_context* context, int count, sqlite3_value** values) {
    const auto* word = reinterpret_cast<const char*>(sqlite3_value_text(values[0]));
    const std::string_view wanted(word ? word : "",
                                  static_cast<std::size_t>(sqlite3_value_bytes(values[0])));
    for (int i = 1; i < count; ++i) {
        if (sqlite3_value_type(values[i]) == SQLITE_NULL) {
            continue;
        }
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(values[i]));
        if (holds(std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(values[i]))),
                  wanted)) {
            sqlite3_result_int(context, 1);
            return;
        }
    }
    sqlite3_result_int(context, 0);
}

}  // namespace

std::string foldedForSearch(std::string_view utf8) {
    // ASCII folds to its small letters: most texts of a catalogue, without ICU.
    if (std::all_of(utf8.begin(), utf8.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        std::string folded(utf8);
        for (char& c : folded) {
            c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
        return folded;
    }
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    text.foldCase();
    // Compatibility decomposition splits letters from their marks and makes wide, narrow and
    // other forms plain; the marks go; what is left is composed again (Hangul syllables).
    icu::UnicodeString split = normalizer(true).normalize(text, status);
    icu::UnicodeString letters;
    for (int32_t at = 0; at < split.length();) {
        const UChar32 c = split.char32At(at);
        if (u_charType(c) != U_NON_SPACING_MARK) {
            letters.append(c);
        }
        at += U16_LENGTH(c);
    }
    std::string folded;
    normalizer(false).normalize(letters.foldCase(), status).toUTF8String(folded);
    return U_SUCCESS(status) ? folded : std::string(utf8);
}

void registerFoldFunction(sqlite3* handle) {
    sqlite3_create_function(handle, "quorvane_fold", 1,
                            SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                            &sqlFold, nullptr, nullptr);
    sqlite3_create_function(handle, "quorvane_holds", -1,
                            SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                            &sqlHolds, nullptr, nullptr);
}

}  // namespace db::collation

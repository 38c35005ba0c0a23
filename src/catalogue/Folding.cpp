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

// Small Latin letters without a decomposition that the root collation counts as these plain
// letters at its letters level (ø as o, æ as ae, ł as l): found by comparing each with every
// one and two plain letters, ICU 72.
struct PlainLetters {
    UChar32 letter;
    const char* plain;
};
constexpr PlainLetters Plain[] = {
    {0x00E6, "ae"}, {0x00F0, "d"},  {0x00F8, "o"},  {0x0111, "d"},  {0x0127, "h"},  {0x0142, "l"},
    {0x0153, "oe"}, {0x018D, "zw"}, {0x01BE, "ts"}, {0x0238, "db"}, {0x0239, "qp"}, {0x02A3, "dz"},
    {0x02A6, "ts"}, {0x02AA, "ls"}, {0x02AB, "lz"}, {0x1D79, "g"},  {0x1EFB, "ll"}, {0xA729, "tz"},
    {0xA733, "aa"}, {0xA735, "ao"}, {0xA737, "au"}, {0xA739, "av"}, {0xA73B, "av"}, {0xA73D, "ay"},
    {0xA74F, "oo"}, {0xA75B, "r"},  {0xA761, "vy"}, {0xA77A, "d"},  {0xA77C, "f"},  {0xA783, "r"},
    {0xA785, "s"},  {0xA787, "t"},  {0xA79B, "a"},  {0xA79D, "o"},  {0xA79F, "u"},  {0xA7A1, "g"},
    {0xA7A3, "k"},  {0xA7A5, "n"},  {0xA7A7, "r"},  {0xA7A9, "s"},  {0xA7C1, "a"},  {0xA7C3, "w"},
    {0xA7D9, "s"}};

// Appends the letter, or the plain letters the collation counts it as.
void appendPlain(icu::UnicodeString& letters, UChar32 c) {
    const auto found =
        std::lower_bound(std::begin(Plain), std::end(Plain), c,
                         [](const PlainLetters& p, UChar32 x) { return p.letter < x; });
    if (found != std::end(Plain) && found->letter == c) {
        letters.append(icu::UnicodeString(found->plain, -1, US_INV));
    } else {
        letters.append(c);
    }
}

// What users type for what a text holds: an apostrophe, a quote or a dash of any kind is the
// plain one; joiners and other invisible format characters, and the Arabic tatweel that
// stretches a word, are nothing; the dotless ı is i, as the collation's letters level has it.
// Done before the decomposition, which would make an acute accent a blank and a mark.
constexpr UChar32 Apostrophes[] = {0x0060, 0x00B4, 0x02B9, 0x02BB, 0x02BC, 0x02BD, 0x2018,
                                   0x2019, 0x201A, 0x201B, 0x2032, 0x2035, 0xFF07};
constexpr UChar32 Quotes[] = {0x00AB, 0x00BB, 0x201C, 0x201D, 0x201E,
                              0x201F, 0x2033, 0x2036, 0xFF02};
constexpr UChar32 Minus[] = {0x2212, 0xFE63, 0xFF0D};  // dashes not of the dash category
constexpr UChar32 Tatweel = 0x0640, DotlessI = 0x0131;

template <std::size_t N>
bool among(const UChar32 (&set)[N], UChar32 c) {
    return std::find(std::begin(set), std::end(set), c) != std::end(set);
}

icu::UnicodeString typedAsPlain(const icu::UnicodeString& text) {
    icu::UnicodeString plain;
    for (int32_t at = 0; at < text.length();) {
        const UChar32 c = text.char32At(at);
        at += U16_LENGTH(c);
        if (c == Tatweel || u_charType(c) == U_FORMAT_CHAR) {
            continue;
        }
        plain.append(among(Apostrophes, c)                                    ? UChar32('\'')
                     : among(Quotes, c)                                       ? UChar32('"')
                     : among(Minus, c) || u_charType(c) == U_DASH_PUNCTUATION ? UChar32('-')
                     : c == DotlessI                                          ? UChar32('i')
                                                                              : c);
    }
    return plain;
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
    const auto small = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c == '`' ? '\'' : c;
    };
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
            c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c == '`' ? '\'' : c;
        }
        return folded;
    }
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text =
        typedAsPlain(icu::UnicodeString::fromUTF8(
                         icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())))
                         .foldCase());
    // Compatibility decomposition splits letters from their marks and makes wide, narrow and
    // other forms plain; the marks go, letters without a decomposition are made plain as the
    // collation sees them; what is left is composed again (Hangul syllables).
    icu::UnicodeString split = normalizer(true).normalize(text, status);
    icu::UnicodeString letters;
    for (int32_t at = 0; at < split.length();) {
        const UChar32 c = split.char32At(at);
        if (u_charType(c) != U_NON_SPACING_MARK) {
            appendPlain(letters, c);
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

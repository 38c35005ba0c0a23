#include "catalogue/Collation.h"

#include "catalogue/Folding.h"
#include "catalogue/ImportedRecords.h"

#include <sqlite3.h>
#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace db::collation {
namespace {

// A sort key after every key ICU makes: its primary weights never begin with two 0xFF bytes.
constexpr std::string_view NotTextMark = "\xFF\xFF";

std::string environmentLocale() {
    for (const char* name : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            std::string locale = value;
            locale = locale.substr(0, locale.find_first_of(".@"));
            return locale == "C" || locale == "POSIX" ? std::string() : locale;
        }
    }
    return {};
}

// One collator per strength, made once; each thread works on clones of its own (a
// collator's settings are not shared across threads safely).
const icu::Collator& prototype(icu::Collator::ECollationStrength strength) {
    static std::once_flag made;
    static std::unique_ptr<icu::Collator> full, letters;
    std::call_once(made, [] {
        UErrorCode status = U_ZERO_ERROR;
        const std::string locale = environmentLocale();
        full.reset(icu::Collator::createInstance(
            locale.empty() ? icu::Locale::getRoot() : icu::Locale(locale.c_str()), status));
        if (U_FAILURE(status) || !full) {
            status = U_ZERO_ERROR;
            full.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
        }
        // Canonically equivalent texts (a precomposed letter or a letter and its combining
        // accent) get the same key.
        full->setAttribute(UCOL_NORMALIZATION_MODE, UCOL_ON, status);
        letters.reset(full->clone());
        letters->setStrength(icu::Collator::PRIMARY);
    });
    return strength == icu::Collator::PRIMARY ? *letters : *full;
}

const icu::Collator& collator(icu::Collator::ECollationStrength strength) {
    thread_local std::unique_ptr<icu::Collator> full(prototype(icu::Collator::TERTIARY).clone());
    thread_local std::unique_ptr<icu::Collator> letters(prototype(icu::Collator::PRIMARY).clone());
    return strength == icu::Collator::PRIMARY ? *letters : *full;
}

bool isUtf8(std::string_view text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) {
            return false;
        }
    }
    return true;
}

// The text without white space at either end: a name with a blank after it is the same name,
// in every order, range and group.
std::string_view withoutEndBlanks(std::string_view text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    int32_t start = 0;
    int32_t end = static_cast<int32_t>(text.size());
    while (start < end) {
        int32_t next = start;
        UChar32 c;
        U8_NEXT(bytes, next, end, c);
        if (c < 0 || !u_isUWhiteSpace(c)) {
            break;
        }
        start = next;
    }
    while (end > start) {
        int32_t before = end;
        UChar32 c;
        U8_PREV(bytes, start, before, c);
        if (c < 0 || !u_isUWhiteSpace(c)) {
            break;
        }
        end = before;
    }
    return text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
}

// The key without ICU's closing zero byte.
std::string keyOf(const icu::Collator& with, std::string_view text) {
    const icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    std::string key(64, '\0');
    int32_t length = with.getSortKey(unicode, reinterpret_cast<uint8_t*>(key.data()),
                                     static_cast<int32_t>(key.size()));
    if (length > static_cast<int32_t>(key.size())) {
        key.resize(static_cast<std::size_t>(length));
        length = with.getSortKey(unicode, reinterpret_cast<uint8_t*>(key.data()), length);
    }
    key.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);
    return key;
}

std::optional<std::string_view> textOf(sqlite3_value* value) {
    if (sqlite3_value_type(value) == SQLITE_NULL) {
        return std::nullopt;
    }
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return std::string_view(bytes ? bytes : "",
                            static_cast<std::size_t>(sqlite3_value_bytes(value)));
}

void sqlSortKey(sqlite3_context* context, int, sqlite3_value** arguments) {
    const std::string key = sortKey(textOf(arguments[0]));
    sqlite3_result_blob(context, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

void sqlSameName(sqlite3_context* context, int, sqlite3_value** arguments) {
    const auto a = textOf(arguments[0]);
    const auto b = textOf(arguments[1]);
    sqlite3_result_int(context, a && b && sameName(*a, *b) ? 1 : 0);
}

}  // namespace

std::string localeName() {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale actual =
        prototype(icu::Collator::TERTIARY).getLocale(ULOC_ACTUAL_LOCALE, status);
    const std::string name = actual.getName();
    return name.empty() ? "root" : name;
}

std::string description() {
    UVersionInfo version;
    prototype(icu::Collator::TERTIARY).getVersion(version);
    char text[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(version, text);
    // The word index (Folding.h) is made with the orders: a change of its folding is one too.
    return std::string("ICU collation ") + text + " " + localeName() +
           ", ends trimmed, words folded 2";
}

std::string sortKey(std::optional<std::string_view> text) {
    if (!text) {
        return {};
    }
    if (!isUtf8(*text)) {
        return std::string(NotTextMark) + std::string(*text);
    }
    return keyOf(collator(icu::Collator::TERTIARY), withoutEndBlanks(*text));
}

std::string letterKey(std::string_view text) {
    return keyOf(collator(icu::Collator::PRIMARY), withoutEndBlanks(text));
}

bool sameName(std::string_view a, std::string_view b) {
    const KeyRange range = sameLettersAndAccents(a);
    const std::string key = sortKey(b);
    return key >= range.first && key < range.beyond;
}

std::string nameKey(std::optional<std::string_view> text) {
    return std::string(withoutCase(sortKey(text)));
}

std::string_view withoutCase(std::string_view key) {
    const std::size_t letters = key.find('\x01');
    const std::size_t accents =
        letters == std::string_view::npos ? letters : key.find('\x01', letters + 1);
    return accents == std::string_view::npos ? key : key.substr(0, accents);
}

KeyRange sameLettersAndAccents(std::optional<std::string_view> text) {
    const std::string key = sortKey(text);
    const std::string shared(withoutCase(key));
    if (shared.size() == key.size()) {  // no levels: only the same key matches
        return {key, key + '\0'};
    }
    return {shared + '\x01', shared + '\x02'};
}

std::optional<std::string> aboveKeysBeginningWith(std::string key) {
    while (!key.empty() && static_cast<unsigned char>(key.back()) == 0xFF) {
        key.pop_back();
    }
    if (key.empty()) {
        return std::nullopt;
    }
    key.back() = static_cast<char>(static_cast<unsigned char>(key.back()) + 1);
    return key;
}

const std::string& aboveKeysOfNumbers() {
    static const std::string highest = [] {
        std::string above;
        auto beginningWith = [&](UChar32 c) {
            std::string utf8;
            icu::UnicodeString(c).toUTF8String(utf8);
            if (const auto bound = aboveKeysBeginningWith(letterKey(utf8))) {
                above = std::max(above, *bound);
            }
        };
        for (const char c : std::string_view("0123456789+-.")) {
            beginningWith(static_cast<UChar32>(c));
        }
        return above;
    }();
    return highest;
}

void registerSqlFunction(sqlite3* handle) {
    sqlite3_create_function(handle, "quorvane_sort_key", 1,
                            SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                            &sqlSortKey, nullptr, nullptr);
    sqlite3_create_function(handle, "quorvane_same_name", 2,
                            SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                            &sqlSameName, nullptr, nullptr);
}

namespace {

int registerOnOpening(sqlite3* handle, const char**, const void*) {
    registerSqlFunction(handle);
    registerFoldFunction(handle);
    catalogue::registerDigestFunction(handle);
    return SQLITE_OK;
}

// Every connection the program opens has the functions from its opening on, whichever layer
// opens it: the catalogue's statements use them.
[[maybe_unused]] const bool registeredEverywhere = [] {
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(&registerOnOpening));
    return true;
}();

}  // namespace

}  // namespace db::collation

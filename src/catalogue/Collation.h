#pragma once

#include <optional>
#include <string>
#include <string_view>

struct sqlite3;

// The one order of names in every window: ICU's collation for the user's locale (LC_ALL, then
// LC_COLLATE, then LANG; C, POSIX or an unknown locale take ICU's root order). Texts are
// compared through sort keys, byte strings that compare with memcmp as the texts collate, so
// the catalogue stores them in plain BLOB columns and indexes them without a collation of
// its own: the stock sqlite3 tool can read, change and check the file.
namespace db::collation {

// The locale the keys are made for, as ICU names it ("sv_SE", "root").
std::string localeName();

// What the keys depend on: the collator's version and its locale, and how texts are trimmed
// and folded for the word index. Keys stored under another description are made again.
std::string description();

// Keys are made of the text without white space at either end: "Rock " is "Rock".
//
// The full key (letters, then accents, then case): the order of views, lists and reports.
// Nothing (Null) gets the empty key, before every text; the empty text comes next. Bytes that
// are not UTF-8 get a key after every text.
std::string sortKey(std::optional<std::string_view> text);

// The key of the letters alone (case and accents ignored). Every full key of a text that
// begins with `text`, letter for letter, begins with it.
std::string letterKey(std::string_view text);

// A full key up to its case level: letters, 01, accents. Texts equal but for case (or the way
// an accent is written) share it. A key without levels (Null, bytes that are not text) is
// all of it.
std::string_view withoutCase(std::string_view key);

// The full keys of the texts that equal `text` but for letter case and the way an accent is
// written: from `first` up to, not including, `beyond`. Nothing (Null) matches only itself.
struct KeyRange {
    std::string first, beyond;
};
KeyRange sameLettersAndAccents(std::optional<std::string_view> text);

// Whether two texts are the same name: equal but for letter case and the way an accent is
// written (ABBA and abba; Céline with one letter or with a combining accent; not Björk and
// Bjork).
bool sameName(std::string_view a, std::string_view b);
// What the texts that are the same name share: a key up to its case level.
std::string nameKey(std::optional<std::string_view> text);

// The smallest key above every key that begins with `key`; nothing when there is none.
std::optional<std::string> aboveKeysBeginningWith(std::string key);

// The smallest key above the key of every text that begins, after blanks, with a digit, a
// sign or a point: no text whose key is at or above it reads as a number.
const std::string& aboveKeysOfNumbers();

// Registers quorvane_sort_key(text) and quorvane_same_name(a, b) on a connection.
void registerSqlFunction(sqlite3* handle);

}  // namespace db::collation

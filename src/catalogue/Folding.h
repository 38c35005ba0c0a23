#pragma once

#include <string>
#include <string_view>

struct sqlite3;

// Texts as the word search compares them: letters alone, as the collation's letters level
// sees them. Case is folded, accents and other marks dropped, and compatibility forms made
// plain ("Ｂｊöｒｋ" and "BJORK" both fold to "bjork"; "Ærø" to "aero"); apostrophes, quotes
// and dashes of every kind are the plain ones, joiners and the Arabic tatweel nothing, and the
// dotless ı is i ("O’Connor" folds as "o'connor", "Işık" as "isik"). So "contains" is a plain
// substring test of folded texts.
namespace db::collation {

std::string foldedForSearch(std::string_view utf8);

// Registers quorvane_fold(text) on a connection: the folded text, Null for Null; and
// quorvane_holds(word, text, ...): 1 when one of the texts, folded, holds the word (folded).
void registerFoldFunction(sqlite3* handle);

}  // namespace db::collation

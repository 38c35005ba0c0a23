#pragma once

#include <string>
#include <vector>

#include "sqlite/Value.h"

namespace reports {

// A record selection formula in the report notation, read into a condition on table Main:
//   {Main.Artist} >= 'B' AND ({Main.Artist} <= 'Dz' OR {Main.Artist} STARTSWITH 'D')
// Comparisons (= <> < <= > >= STARTSWITH) of a field of Main with a quoted literal (a quote
// inside it written twice), and CONTAINS 'words' (the records holding every word, as the
// search window's Contains finds them), joined by AND, OR and NOT, with parentheses; the
// keywords in any letter case. Names compare by their letters alone, as the search compares them
// (through the orders' keys: 'b' <= Björk < 'C'). The condition's text is made only from the
// formula's structure and the four column names; every literal's key is a bound parameter.
// An empty formula selects all.
struct Selection {
    std::string where;  // empty: every record
    std::vector<db::Value> params;
};

// Throws ReportError (FormulaError) for a formula it cannot read, saying where.
Selection parseSelection(const std::string& formula);

// The formula of the search's Contains: the records holding every word of `words`.
std::string containsSelection(const std::string& words);

// The formula of the search's range of `column` ("Artist"): from `from` up to every value
// that begins with `to`, the records the search holds.
std::string rangeSelection(const std::string& column, const std::string& from,
                           const std::string& to);

}  // namespace reports

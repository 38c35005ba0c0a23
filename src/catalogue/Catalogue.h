#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/RecordReader.h"
#include "catalogue/Views.h"
#include "sqlite/Connection.h"
#include "sqlite/Recordset.h"

// Every statement the program runs against the catalogue file lives here or in Recordset.
namespace db::catalogue {

enum class Lookup { Artist, Category, Format };

// Persisted option keys.
inline constexpr int OptionAutoAddArtist = 1;
inline constexpr int OptionBookmark = 2;
inline constexpr int OptionPrintToScreen = 3;

inline constexpr const char* FileName = "Zembo.mdb";

// Table Main in the order of a view.
TableSource mainTable(const View& view);
// Table Main in row id order, every record of it deleted at once when all are.
TableSource everyRecord();
// The records of Main whose `column` lies from `from` up to `to`, every value that begins
// with `to` included, ordered by that column; letters compared without regard to case or
// accents (From A To F takes Åge and Édith).
TableSource mainRange(const std::string& column, const std::string& from, const std::string& to);
// The records of a condition on Main (a few, as a search finds them) in the order of `view`,
// their keys made as they are read.
struct Match;
TableSource mainWhere(const View& view, const Match& condition);

// A condition on the columns of `table` (Main's texts, or the keys of an order's table),
// its values bound.
struct Match {
    std::string where;
    std::vector<Value> params;
    std::string table = "Main";
};
// `column` (Artist, Title, Category or Format) from `from` up to every value beginning with
// `to`, compared by letters alone: a range of the column's sort key.
Match keyRange(const std::string& column, const std::string& from, const std::string& to);
// `column` begins with `text`, letter for letter ("ed" finds "Édith Piaf").
Match beginsWith(const std::string& column, const std::string& text);
// Main's records whose `column` compares with `text` by letters alone, as a range and "begins
// with" compare (From A To F takes Åge and Édith): `op` one of = <> < <= > >= and STARTSWITH.
// A condition on Main's rows, its keys bound.
Match comparedByLetters(const std::string& column, std::string_view op, const std::string& text);
// One lookup table; its only column carries the table's name.
TableSource lookupTable(Lookup which);
std::string lookupColumn(Lookup which);
// How many characters of a name the list keeps: its editor stores the first that many.
int lookupWidth(Lookup which);
// The report title's table: one row, column Title.
TableSource reportTitleTable();

// The records of Main grouped by one of its columns ("Artist", "Title", "Category" or
// "Format"): `row` gets each distinct value (nothing for the group of Nulls) with the number
// of records that hold it, in the collation's order. Texts that differ only in letter case, or
// in how an accent is written (one letter or a letter and a combining accent), are one group;
// texts that differ in their accents are two (Björk, Bjork).
using TallyRow = std::function<void(std::optional<std::string_view> value, std::int64_t tally)>;
void tally(Connection& connection, const std::string& column, const TallyRow& row);
// The same for the records that meet a condition (a report's selection).
void groupedCounts(Connection& connection, const std::string& column, const Match& which,
                   const TallyRow& row);

// Main's records in the order of one column's text alone ("Artist", "Title", "Category" or
// "Format"): `row` gets each record's row id and rank, equal texts one rank. Read from the
// order that column leads alone, not from the records.
using RankRow = std::function<void(std::int64_t rowId, std::int64_t rank)>;
void rankByColumn(Connection& connection, const std::string& column, const RankRow& row);
// The records whose `column` may read as a number (it begins, after blanks, with a digit, a
// sign or a point), with that text; every other record's text is none.
using TextRow = std::function<void(std::int64_t rowId, std::optional<std::string_view> text)>;
void textsThatMayBeNumbers(Connection& connection, const std::string& column, const TextRow& row);

// Removes every row of a lookup table that holds `value` as a name (collation::sameName).
void deleteLookupValue(Connection& connection, Lookup which, const std::string& value);

// Opens `options` on the row of one option key (forward-only).
void openOption(Recordset& options, Connection& connection, int key);
// Stores an option as "-1" (on) or "0" (off); a missing row is left missing.
void writeOption(Connection& connection, int key, bool on);

// Writes a fresh catalogue file at `path` (replacing any file there): the tables, their
// indexes, the options, the lookup lists and the report title; with `withSample` also the
// sample recordings the program ships with.
void makeCatalogue(const std::string& path, bool withSample);

}  // namespace db::catalogue

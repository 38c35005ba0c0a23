#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/Catalogue.h"
#include "catalogue/Views.h"
#include "sqlite/Connection.h"

// The word index beside Main: every record's four texts, folded (Folding.h), in a contentless
// FTS5 table of trigrams, RecordWords, its row ids Main's. It is made and kept with the orders
// (Orders.h): the same notes place a record in both, and whatever makes the orders again
// makes it again. A search for words reads it: a word of three letters or more through its
// trigrams, a shorter one by a look at the folded texts.
namespace db::catalogue {

// "main.\"RecordWords\"": the word index in a schema ("main", or "temp" for the session's).
std::string wordsTable(const std::string& schema);

void makeEmptyWordIndex(Connection& connection, const std::string& schema);
// Every entry taken away at once (every record deleted).
void emptyWordIndex(Connection& connection, const std::string& schema);
// A statement giving the row ids indexed.
std::string indexedIds(const std::string& schema);
// Whether the file's index holds the records it should at either end: the first and the last of
// Main's row ids, those waiting aside, are its first and last. Another program's command to the
// index itself (its 'delete-all', say) passes every trigger; this finds it in four seeks. Asked
// when every note is placed.
bool wordIndexAgreesAtEnds(Connection& connection);
void dropWordIndex(Connection& connection, const std::string& schema);

// Indexes up to `limit` records of Main from row id `from` on, in row id order.
void indexRecords(Connection& connection, const std::string& schema, std::int64_t from,
                  std::int64_t limit);

// Records added many at once take their places in the orders at once and in the file's word
// index later, a step at a time while the program is idle: the records from row id `first`
// on wait (with any that waited before). A search meanwhile looks for words in their texts.
void leaveWordsFrom(Connection& connection, std::int64_t first);
// The first row id whose record waits for the index of `schema`, if any does.
std::optional<std::int64_t> wordsWaitFrom(Connection& connection, const std::string& schema);
// Indexes up to `limit` waiting records in a write transaction of its own, the records noted
// by any writer placed first; not waiting for another program that holds the file.
enum class WordsWaiting { None, More, Held };
WordsWaiting indexWaitingWords(Connection& connection, std::int64_t limit);

// Records' entries in the word index of one schema, one by one. The index keeps no texts: an
// entry is taken away with the texts it was made from, exactly.
class WordPlaces {
  public:
    WordPlaces(Connection& connection, const std::string& schema);
    void place(std::int64_t id, const RecordTexts& texts);
    void remove(std::int64_t id, const RecordTexts& indexedBy);

  private:
    Statement insert_, delete_;
};

// A word to look for: folded, in one of the four texts (its index in RecordColumns) or, with
// `column` -1, in any.
struct SearchWord {
    std::string folded;
    int column = -1;

    bool operator==(const SearchWord&) const = default;
};

// The words typed: separated by blanks; a quoted text is one word; "artist:", "title:",
// "category:" or "format:" before a word looks for it in that text alone. A word typed twice
// is one.
std::vector<SearchWord> searchWords(std::string_view typed);
// The most words one search looks for: the engine's expressions have a depth they stay within.
inline constexpr std::size_t MostSearchWords = 100;

// The row ids, ascending, of the records that hold every word (each in some text, or in its
// own). The index is brought true to Main first (see OrderRead), or, AsItStands, read as the
// file has it (a search on a connection of its own, after the catalogue's connection brought
// it true). The index read is the session's when it has one. No words: no records.
enum class IndexRead { BroughtTrue, AsItStands };
std::vector<std::int64_t> recordsWithWords(Connection& connection,
                                           const std::vector<SearchWord>& words,
                                           IndexRead read = IndexRead::BroughtTrue);

// The row ids, ascending, of the first `wanted` records of `ids` (a screen of a grid, in the
// order shown) that hold every word, found by a look at their texts one by one: what a window
// shows at once while the whole answer (recordsWithWords), long for a word of one letter or
// for records that wait for the index, is gathered. Read as the file stands.
std::vector<std::int64_t> firstRecordsWithWords(Connection& connection,
                                                const std::vector<SearchWord>& words,
                                                std::span<const std::int64_t> ids,
                                                std::size_t wanted);

// The same records as a condition on Main ("Main.rowid IN (...)"), its values bound: for a
// recordset or a report, read where the index was brought true.
Match wordMatch(const std::vector<SearchWord>& words);

// Whether this connection reads an index of the session's own (Orders.h): a search on another
// connection would not see it.
bool readsSessionIndex(Connection& connection);

}  // namespace db::catalogue

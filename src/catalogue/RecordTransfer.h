#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "catalogue/Catalogue.h"

// The statements that move whole records in and out of the catalogue in bulk.
namespace db::catalogue {

// Appends records to Main through one prepared statement, within the caller's transaction.
// Many records to come (more than 50 000, or more than a tenth of what Main holds) are placed
// in the four orders once, after them, by `finish`; it must be called before the transaction
// commits. Fewer are placed as any record written is (see Orders.h).
class RecordInserter {
  public:
    RecordInserter(Connection& connection, std::int64_t expected);
    void insert(const RecordTexts& texts);
    void finish();

  private:
    Connection& connection_;
    std::optional<std::int64_t> firstAdded_;  // placed by `finish`, from this row id on
    Statement statement_;
};

// Whether Main already holds a record with the same four values, compared as the counts
// group them (letter case and the way an accent is written do not matter; Null matches only
// Null); only among the records up to a row id, when given one. The catalogue's records are
// read once, from the keys their orders keep: a look is then the record's four keys made and
// one search in memory.
class RecordMatcher {
  public:
    explicit RecordMatcher(Connection& connection, std::optional<std::int64_t> upToRowId = {});
    bool holds(const RecordTexts& texts) const;

  private:
    // A record's four name keys hashed into 128 bits (a false match: one in 2^128).
    struct Seen {
        std::uint64_t high = 0, low = 0;
        bool operator==(const Seen&) const = default;
    };
    static Seen seen(std::string_view artist, std::string_view title, std::string_view format);
    static Seen withCategory(Seen record, std::uint64_t category);
    std::size_t slotOf(const Seen& record) const;
    std::vector<Seen> slots_;  // open addressing: twice the records, empty slots zero
};

// Whether a lookup table holds a value as a name (case and how an accent is written aside):
// the table's name keys read once, each value looked up by its own.
class LookupMatcher {
  public:
    LookupMatcher(Connection& connection, Lookup which);
    bool holds(const std::string& value) const;

  private:
    std::unordered_set<std::string> names_;
};

// The largest row id of Main (0 when it is empty): the records added after it have larger.
std::int64_t lastRowId(Connection& connection);

// Appends one value to a lookup table, as it is.
void addLookupValue(Connection& connection, Lookup which, const std::string& value);

}  // namespace db::catalogue

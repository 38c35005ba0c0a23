#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "sqlite/Connection.h"
#include "sqlite/Value.h"

// Writes that take a record back to what it was, each only over what this program left there:
// a record another program changed or deleted since is left as it is, and the answer says so.
namespace db::catalogue {

enum class Revision {
    Done,
    ChangedElsewhere,  // its texts are no longer those this program wrote
    Gone,              // the record is no longer there
    RowTaken,          // another record holds its row id
};

// One field as stored: its value and its kind (text, a number, Null, or bytes another tool
// stored as a BLOB), so that it is written back exactly.
struct StoredValue {
    Value value;
    bool blob = false;
    bool operator==(const StoredValue&) const = default;
};
using StoredRecord = std::array<StoredValue, 4>;  // Artist, Title, Category, Format

// The record's four fields exactly as stored, or nothing when there is none.
std::optional<StoredRecord> storedRecord(Connection& connection, std::int64_t rowId);

// The record put back under its own row id.
Revision putBack(Connection& connection, std::int64_t rowId, const StoredRecord& record);
// The record deleted, if it still holds `expected`.
Revision takeAway(Connection& connection, std::int64_t rowId, const StoredRecord& expected);
// The record's fields made `to`, if it still holds `expected`.
Revision replaceFields(Connection& connection, std::int64_t rowId, const StoredRecord& expected,
                       const StoredRecord& to);

// A table of one column (a lookup list, the report title): a value the same way, as stored,
// put back under its row id, taken away or replaced only while it holds what was written.
struct OneColumn {
    std::string table, column;
};
OneColumn lookupValues(Lookup which);
OneColumn reportTitleValue();
std::optional<StoredValue> storedValue(Connection& connection, const OneColumn& where,
                                       std::int64_t rowId);
Revision putValueBack(Connection& connection, const OneColumn& where, std::int64_t rowId,
                      const StoredValue& value);
Revision takeValueAway(Connection& connection, const OneColumn& where, std::int64_t rowId,
                       const StoredValue& expected);
Revision replaceValue(Connection& connection, const OneColumn& where, std::int64_t rowId,
                      const StoredValue& expected, const StoredValue& to);
// The row ids of the names a list holds as `name` (letter case and accents' writing aside).
std::vector<std::int64_t> rowsNamed(Connection& connection, Lookup which, const std::string& name);

}  // namespace db::catalogue

#pragma once

#include <cstdint>
#include <optional>

#include "catalogue/Catalogue.h"
#include "sqlite/Connection.h"

// Writes that take a record back to what it was, each only over what this program left there:
// a record another program changed or deleted since is left as it is, and the answer says so.
namespace db::catalogue {

enum class Revision {
    Done,
    ChangedElsewhere,  // its texts are no longer those this program wrote
    Gone,              // the record is no longer there
    RowTaken,          // another record holds its row id
};

// The record's four texts exactly as stored (Null kept), or nothing when there is none.
std::optional<RecordTexts> storedTexts(Connection& connection, std::int64_t rowId);

// The record put back under its own row id.
Revision putBack(Connection& connection, std::int64_t rowId, const RecordTexts& texts);
// The record deleted, if it still holds `expected`.
Revision takeAway(Connection& connection, std::int64_t rowId, const RecordTexts& expected);
// The record's texts made `to`, if it still holds `expected`.
Revision replaceTexts(Connection& connection, std::int64_t rowId, const RecordTexts& expected,
                      const RecordTexts& to);

}  // namespace db::catalogue

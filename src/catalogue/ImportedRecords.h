#pragma once

#include <cstdint>

#include "catalogue/RecordRevisions.h"
#include "sqlite/Connection.h"

struct sqlite3;

// The records an import added, known by their row ids and a digest each of what the import
// wrote (in the session's temporary store, not in memory): taken back only where no other
// program changed them since, and kept aside, to be put back by a redo.
namespace db::catalogue {

struct ImportedRecords {
    std::int64_t step = 0;  // tells one import's notes from another's
    std::int64_t first = 0, last = 0;
    std::int64_t count = 0;
};

// Notes the records of row ids `first` to `last`, just imported.
ImportedRecords noteImported(Connection& connection, std::int64_t first, std::int64_t last);

struct TakenBack {
    std::int64_t taken = 0;
    std::int64_t left = 0;  // changed by another program since: left as they are
};
// Deletes those still as the import wrote them, keeping them aside.
TakenBack takeImportBack(Connection& connection, const ImportedRecords& records);
// Puts back the records kept aside; nothing when another record holds one's row id.
Revision putImportBack(Connection& connection, const ImportedRecords& records);
// Every import's notes forgotten.
void forgetImports(Connection& connection);

// quorvane_digest(a, t, c, f): a 64-bit digest of four values, their kinds and bytes.
void registerDigestFunction(sqlite3* handle);

}  // namespace db::catalogue

#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include "sqlite/Recordset.h"

namespace app {

// Why the records could not be written out (the target is then as it was).
struct ExportFailed {
    QString why;
};

struct ExportResult {
    std::int64_t records = 0;
    // Records with bytes that are not UTF-8 text (written by other programs): those bytes
    // are written as replacement characters, so the file stays UTF-8.
    std::int64_t mended = 0;
    // Records with no value in any field: written as empty rows, which an import skips.
    std::int64_t unfilled = 0;
};

// Writes the rows `records` was opened on, in its order, to `path` as CSV in UTF-8 with the
// header Artist,Title,Category,Format. The text goes to a new file beside the target,
// flushed to the disk, which then takes the target's place in one rename: a failure at any
// point leaves the target as it was. `progress` hears the number of records written now and
// then. Throws ExportFailed.
ExportResult exportRecords(db::Recordset& records, const QString& path,
                           const std::function<void(std::int64_t written)>& progress = {});

}  // namespace app

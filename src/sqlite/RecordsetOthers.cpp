// Rows other programs change while a recordset holds their ids: a compaction by another tool
// renumbers them, another program edits or deletes them. The recordset follows the
// renumbering, and writes a row only while it holds what was read of it.
#include <algorithm>

#include "sqlite/DbError.h"
#include "sqlite/Recordset.h"
#include "sqlite/SqlText.h"

namespace db {

// Another program wrote the file since this recordset last looked: the order is brought up to
// date with it, and when that found the row ids renumbered, the keys are read again and the
// cursor put as far from the record last read, found again by its values, as it was (or left
// at its place). Looked at where a cursor starts (a first or last record, a bookmark, a find)
// and when a row is read, not at each step of a walk; it costs nothing while the file's
// version, as the last read found it, is unchanged. A file another program holds is looked at
// later.
void Recordset::followOtherPrograms() {
    if (!source_.hold || cursor_ != CursorType::Keyset || edit_ != Edit::None || batch_ ||
        connection_->fileVersion() == seenFileVersion_) {
        return;  // as far as the last read knew, nothing changed
    }
    seenFileVersion_ = connection_->fileVersion();
    std::int64_t version = 0;
    try {
        version = connection_->dataVersion();
    } catch (const DbError& error) {
        if (error.busy) {
            return;
        }
        throw;
    }
    if (version == seenVersion_) {
        return;
    }
    holdOrder();
    seenVersion_ = version;
    if (connection_->rowIdGeneration() == loadedGeneration_) {
        return;
    }
    const std::ptrdiff_t place = pos_;
    const auto last = cacheValid_ ? rowCache_ : std::vector<Value>{};
    const std::ptrdiff_t away = cacheValid_ ? pos_ - cachedPlace_ : 0;
    const auto found = findAgain(last, cachedKey_, true);
    pos_ = std::clamp<std::ptrdiff_t>(found ? *found + away : place, -1,
                                      static_cast<std::ptrdiff_t>(keys_.size()));
}

// The keys read again, and the place of the record that holds `asRead` (the row `key` first), or
// of the row `key` itself when the ids were not renumbered (another program changed it there).
std::optional<std::ptrdiff_t> Recordset::findAgain(const std::vector<Value>& asRead,
                                                   std::int64_t key, bool renumbered) {
    loadKeys();
    std::optional<std::int64_t> found;
    if (!asRead.empty() && rowHolds(key, asRead)) {
        found = key;
    } else if (!asRead.empty()) {
        Statement rows(*connection_, "SELECT rowid, * FROM " + quoted(source_.table));
        while (!found && rows.step()) {
            bool same = true;
            for (std::size_t i = 0; same && i < asRead.size(); ++i) {
                same = rows.column(static_cast<int>(i) + 1) == asRead[i];
            }
            if (same) {
                found = rows.integerColumn(0);
            }
        }
    }
    if (!found && !renumbered) {
        found = key;
    }
    return found ? locate(*found) : std::nullopt;
}

// The row `key` as it is now, kept as the current row's (nothing kept for a row gone).
void Recordset::cacheRow(std::int64_t key) {
    auto row = readRow(key);
    cacheValid_ = row.has_value();
    if (row) {
        rowCache_ = std::move(*row);
        cachedKey_ = key;
        cachedPlace_ = pos_;
    }
}

bool Recordset::rowHolds(std::int64_t key, const std::vector<Value>& values) {
    const auto row = readRow(key);
    return row && *row == values;
}

// Runs `write` on the row `key` in one unit with the check that the row still holds `asRead`
// (nothing to check when empty). Otherwise the record is looked for again: found, the cursor is
// on it and the failure is RowChanged; gone, the cursor stays on a row that is deleted.
void Recordset::writeRowAsRead(std::int64_t key, const std::vector<Value>& asRead,
                               const std::function<void()>& write) {
    cacheValid_ = false;
    {
        Savepoint unit(*connection_);
        if (asRead.empty() || rowHolds(key, asRead)) {
            write();
            cacheRow(key);  // what was written is what the next write checks against
            unit.release();
            return;
        }
    }
    holdOrder();
    const bool renumbered = connection_->rowIdGeneration() != loadedGeneration_;
    if (!renumbered && !readRow(key)) {
        dropGone(key);
        throw DbError::recordDeleted();
    }
    const std::ptrdiff_t place = pos_;
    if (const auto found = findAgain(asRead, key, renumbered)) {
        pos_ = *found;
        throw DbError::rowChanged();
    }
    // Nothing holds what was read: the cursor stays, at its place, on the record as gone.
    pos_ = std::clamp<std::ptrdiff_t>(place, 0, static_cast<std::ptrdiff_t>(keys_.size()));
    keys_.insert(keys_.begin() + pos_, key);
    removed_.insert(removed_.begin() + pos_, 1);
    throw DbError::recordDeleted();
}

}  // namespace db

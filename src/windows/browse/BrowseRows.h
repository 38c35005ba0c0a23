#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "catalogue/Catalogue.h"
#include "windows/controls/Grid.h"

namespace windows {

// The browse grid's rows: each row knows its record (by row id, taken from the recordset
// in its order during the fill) and reads the record's texts only when the row is drawn,
// so a million records cost eight megabytes and open as fast as their order is read.
class BrowseRows : public GridRows {
  public:
    explicit BrowseRows(db::Connection& connection);
    void add(std::int64_t rowId);
    std::int64_t rowId(int row) const;

    // Reads the texts of the first `count` rows now, so that a file another program holds
    // is said when the grid is filled rather than shown as empty rows. A failure throws.
    void readFirst(int count);

    // The texts read so far are read again when drawn (another program may have changed them).
    void forgetTexts();
    // A mark for each row whose record is among `ids` (ascending row ids).
    std::vector<char> rowsAmong(const std::vector<std::int64_t>& ids) const;

    int rowCount() const override;
    QString text(int row, int column) const override;
    // From the column's index, in one pass: a million rows sort in well under a second.
    // A read that fails throws.
    std::vector<SortPlace> sortPlaces(int column) const override;
    // While a run holds the window (and may have lent the connection to another thread),
    // the grid draws the rows it has read and reads no more: the others show empty.
    void setReading(bool reading) { reading_ = reading; }

    // Whether another program renumbered the records since the fill (a compaction by another
    // tool): the rows' ids are then another's, the rows show empty, and `whenRenumbered` hears
    // it, once, to fill them again.
    bool renumbered() const;
    void setWhenRenumbered(std::function<void()> told) { whenRenumbered_ = std::move(told); }

  private:
    void readInto(std::size_t row) const;

    static constexpr int CacheRows = 1024;
    struct Cached {
        std::int64_t rowId = -1;
        db::RecordTexts texts;
    };

    db::Connection& connection_;
    std::vector<std::int64_t> ids_;
    mutable std::unique_ptr<db::catalogue::RecordReader> reader_;
    mutable std::vector<Cached> cache_;
    // A read that failed (another program holds the file) is not tried again at once: the
    // grid redraws often, and each try waits for the lock.
    mutable std::chrono::steady_clock::time_point quietUntil_;
    bool reading_ = true;
    std::uint64_t generation_ = 0;  // the row ids' generation at the fill
    mutable std::int64_t seenVersion_ = -1;
    mutable bool renumbered_ = false;
    mutable std::function<void()> whenRenumbered_;
};

}  // namespace windows

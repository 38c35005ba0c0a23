#include "windows/browse/BrowseRows.h"

#include <algorithm>
#include <utility>

#include "catalogue/Orders.h"
#include "sqlite/DbError.h"

namespace windows {
namespace {

// Finds the grid row of a record (each record has one): through a table indexed by row id
// while the row ids lie close together, as a catalogue's do; by search otherwise.
class RowsByRecord {
  public:
    explicit RowsByRecord(const std::vector<std::int64_t>& ids) {
        if (ids.empty()) {
            return;
        }
        const auto [low, high] = std::minmax_element(ids.begin(), ids.end());
        first_ = *low;
        const auto span = static_cast<std::uint64_t>(*high - *low) + 1;
        if (span <= 8 * ids.size() + 1024) {
            dense_.assign(span, -1);
            for (std::size_t row = 0; row < ids.size(); ++row) {
                dense_[static_cast<std::size_t>(ids[row] - first_)] = static_cast<int>(row);
            }
            return;
        }
        for (std::size_t row = 0; row < ids.size(); ++row) {
            sparse_.emplace_back(ids[row], static_cast<int>(row));
        }
        std::sort(sparse_.begin(), sparse_.end());
    }

    int rowOf(std::int64_t rowId) const {
        if (!dense_.empty()) {
            const auto at = static_cast<std::uint64_t>(rowId - first_);
            return rowId >= first_ && at < dense_.size() ? dense_[at] : -1;
        }
        const auto at = std::lower_bound(sparse_.begin(), sparse_.end(),
                                         std::pair<std::int64_t, int>(rowId, 0));
        return at != sparse_.end() && at->first == rowId ? at->second : -1;
    }

  private:
    std::int64_t first_ = 0;
    std::vector<int> dense_;
    std::vector<std::pair<std::int64_t, int>> sparse_;
};

}  // namespace

BrowseRows::BrowseRows(db::Connection& connection) : connection_(connection), cache_(CacheRows) {}

void BrowseRows::add(std::int64_t rowId) {
    if (ids_.empty()) {  // the fill's walk has looked at the file: its ids are this generation's
        generation_ = connection_.rowIdGeneration();
        try {
            seenVersion_ = connection_.dataVersion();
        } catch (const db::DbError&) {
            // Another program holds the file: the first read looks again.
        }
    }
    ids_.push_back(rowId);
}

bool BrowseRows::renumbered() const {
    if (!renumbered_ && !ids_.empty()) {
        try {
            renumbered_ = db::catalogue::renumberedSince(connection_, generation_, seenVersion_);
        } catch (const db::DbError&) {
            // Another program holds the file: looked at again at the next read.
        }
        if (renumbered_ && whenRenumbered_) {
            std::exchange(whenRenumbered_, nullptr)();
        }
    }
    return renumbered_;
}

std::int64_t BrowseRows::rowId(int row) const {
    return ids_[static_cast<std::size_t>(row)];
}

void BrowseRows::forgetTexts() {
    cache_.assign(CacheRows, Cached{});
}

// Through a table indexed by row id while the ids found lie close together, as a
// catalogue's do; by search otherwise.
std::vector<char> BrowseRows::rowsAmong(const std::vector<std::int64_t>& ids) const {
    std::vector<char> marks(ids_.size(), 0);
    if (ids.empty()) {
        return marks;
    }
    const std::int64_t first = ids.front();
    const auto span = static_cast<std::uint64_t>(ids.back() - first) + 1;
    if (span > 8 * (ids.size() + ids_.size()) + 1024) {
        for (std::size_t row = 0; row < ids_.size(); ++row) {
            marks[row] = std::binary_search(ids.begin(), ids.end(), ids_[row]) ? 1 : 0;
        }
        return marks;
    }
    std::vector<char> found(span, 0);
    for (const std::int64_t id : ids) {
        found[static_cast<std::size_t>(id - first)] = 1;
    }
    for (std::size_t row = 0; row < ids_.size(); ++row) {
        const auto at = static_cast<std::uint64_t>(ids_[row] - first);
        marks[row] = ids_[row] >= first && at < span ? found[at] : 0;
    }
    return marks;
}

int BrowseRows::rowCount() const {
    return static_cast<int>(ids_.size());
}

void BrowseRows::readFirst(int count) {
    for (std::size_t row = 0; row < std::min(ids_.size(), static_cast<std::size_t>(count)); ++row) {
        readInto(row);
    }
}

void BrowseRows::readInto(std::size_t row) const {
    if (renumbered()) {
        cache_[row % CacheRows] = {ids_[row], {}};
        return;
    }
    if (!reader_) {
        reader_ = std::make_unique<db::catalogue::RecordReader>(connection_);
    }
    Cached& slot = cache_[row % CacheRows];
    slot.texts = reader_->read(ids_[row]).value_or(db::RecordTexts{});  // gone: empty
    slot.rowId = ids_[row];
}

QString BrowseRows::text(int row, int column) const {
    if (column < 1 || column > 4) {
        return {};
    }
    const Cached& slot = cache_[static_cast<std::size_t>(row) % CacheRows];
    if (slot.rowId != rowId(row)) {
        const auto now = std::chrono::steady_clock::now();
        if (!reading_ || now < quietUntil_) {
            return {};
        }
        try {
            readInto(static_cast<std::size_t>(row));
        } catch (const db::DbError&) {
            quietUntil_ = now + std::chrono::seconds(2);
            return {};
        }
    }
    const auto& text = slot.texts[static_cast<std::size_t>(column - 1)];
    return text ? QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size())) : QString();
}

std::vector<SortPlace> BrowseRows::sortPlaces(int column) const {
    std::vector<SortPlace> places(ids_.size());
    if (column < 1 || column > 4) {
        return places;
    }
    for (SortPlace& place : places) {
        place.rank = -1;  // a record gone since the fill shows, and sorts, empty
    }
    const RowsByRecord rowsByRecord(ids_);
    auto forRowsOf = [&](std::int64_t rowId, auto&& place) {
        if (const int row = rowsByRecord.rowOf(rowId); row >= 0) {
            place(places[static_cast<std::size_t>(row)]);
        }
    };
    const std::string name(db::RecordColumns[static_cast<std::size_t>(column - 1)]);
    db::catalogue::rankByColumn(connection_, name, [&](std::int64_t rowId, std::int64_t rank) {
        forRowsOf(rowId, [&](SortPlace& place) { place.rank = rank; });
    });
    db::catalogue::textsThatMayBeNumbers(
        connection_, name, [&](std::int64_t rowId, std::optional<std::string_view> text) {
            forRowsOf(rowId, [&](SortPlace& place) {
                place.number = text ? readsAsNumber(*text) : std::nullopt;
            });
        });
    cache_.assign(CacheRows, Cached{});  // rows are drawn afresh, as the catalogue has them now
    return places;
}

}  // namespace windows

// Finding and placing: Find, bookmarks and absolute positions on a keyset recordset.
#include <algorithm>
#include <tuple>
#include <unordered_set>

#include "sqlite/DbError.h"
#include "sqlite/Recordset.h"
#include "sqlite/SqlText.h"

namespace db {

void Recordset::setAbsolutePosition(std::int64_t ordinal) {
    requireKeyset("AbsolutePosition");
    flushEdit();
    followOtherPrograms();
    if (ordinal < 1 || ordinal > live_) {
        throw DbError::badBookmark();
    }
    if (live_ == static_cast<std::int64_t>(keys_.size())) {
        pos_ = static_cast<std::ptrdiff_t>(ordinal - 1);
        return;
    }
    std::int64_t seen = 0;
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (!removed_[i] && ++seen == ordinal) {
            pos_ = static_cast<std::ptrdiff_t>(i);
            return;
        }
    }
}

std::int64_t Recordset::absolutePosition() const {
    requireKeyset("AbsolutePosition");
    currentKey();  // there must be a current row
    if (live_ == static_cast<std::int64_t>(keys_.size())) {
        return pos_ + 1;
    }
    return 1 + std::count(removed_.begin(), removed_.begin() + pos_, 0);
}

std::int64_t Recordset::bookmark() const {
    requireKeyset("Bookmark");
    return currentKey();
}

void Recordset::setBookmark(std::int64_t rowId) {
    requireKeyset("Bookmark");
    flushEdit();
    followOtherPrograms();
    const auto position = locate(rowId);
    if (!position) {
        throw DbError::badBookmark();
    }
    pos_ = *position;
}

// The place of a row in the keyset. The keyset as loaded is sorted by the source's order
// and then by row id, so while nothing was added or deleted through the recordset a binary
// search finds the row with about twenty reads, the engine comparing the rows (it knows the
// columns' collation and where Nulls go). A row the search does not find (its texts changed
// since the load, say) is looked for one by one.
std::optional<std::ptrdiff_t> Recordset::locate(std::int64_t rowId) {
    const auto size = static_cast<std::ptrdiff_t>(keys_.size());
    if (live_ == size && size == loadedKeys_ && size > 0) {
        const auto before = rowsBefore(rowId);
        std::ptrdiff_t low = 0, high = size;
        while (before && low < high) {
            const std::ptrdiff_t middle = low + (high - low) / 2;
            if (before(keys_[middle])) {
                low = middle + 1;
            } else {
                high = middle;
            }
        }
        if (low < size && keys_[low] == rowId) {
            return low;
        }
    }
    for (std::ptrdiff_t i = 0; i < size; ++i) {
        if (keys_[i] == rowId && !removed_[i]) {
            return i;
        }
    }
    return std::nullopt;
}

// Whether a row comes before `rowId` in the source's order (a row gone does not). An order
// of keys made from the rows' texts compares the rows' keys here: the target's made once, a
// row's kept until the next load, as the first steps of every search probe the same rows.
std::function<bool(std::int64_t)> Recordset::rowsBefore(std::int64_t rowId) {
    const std::string table = quoted(source_.table);
    if (source_.orderOfRows.empty()) {
        if (!orderProbe_) {
            const std::string& order = source_.orderBy;
            orderProbe_ = std::make_unique<Statement>(
                *connection_, "SELECT rowid FROM " + table + " WHERE rowid IN (?, ?) ORDER BY " +
                                  (order.empty() ? "" : order + ", ") + "rowid LIMIT 1");
        }
        return [this, rowId](std::int64_t row) {
            orderProbe_->bind(1, Value(row)).bind(2, Value(rowId));
            const bool before = orderProbe_->step() && orderProbe_->integerColumn(0) == row;
            orderProbe_->reset();
            return before;
        };
    }
    if (!orderProbe_) {
        orderProbe_ = std::make_unique<Statement>(
            *connection_, "SELECT " + source_.orderOfRows + " FROM " + table + " WHERE rowid = ?");
    }
    const auto target = orderKeysOf(rowId);
    if (!target) {
        return {};
    }
    return [this, rowId, target = *target](std::int64_t row) {
        const auto keys = orderKeysOf(row);
        return keys && std::tie(*keys, row) < std::tie(target, rowId);
    };
}

// A row's keys in the source's order, made from its texts; nothing for a row gone.
std::optional<std::vector<std::string>> Recordset::orderKeysOf(std::int64_t rowId) {
    if (const auto known = probedKeys_.find(rowId); known != probedKeys_.end()) {
        return known->second;
    }
    orderProbe_->bind(1, Value(rowId));
    std::optional<std::vector<std::string>> keys;
    if (orderProbe_->step()) {
        keys.emplace();
        for (int i = 0; i < orderProbe_->columnCount(); ++i) {
            keys->emplace_back(orderProbe_->textColumn(i).value_or(""));
        }
        if (probedKeys_.size() >= 4096) {
            probedKeys_.clear();  // the rows every search probes come back first
        }
        probedKeys_.emplace(rowId, *keys);
    }
    orderProbe_->reset();
    return keys;
}

// The first row of the source, in its order, matching a condition on the order's columns:
// the statement searches the order's index. A condition on another table's columns (Main's
// texts, or another order's keys) finds the set of rows matching it, searching that table.
std::string Recordset::findSql(const std::string& condition, const std::string& table) const {
    const std::string conditionTable = quoted(table.empty() ? source_.table : table);
    if (conditionTable != keysFrom()) {
        const std::string id = conditionTable == quoted(source_.table) ? "rowid" : "Id";
        return "SELECT " + id + " FROM " + conditionTable + " WHERE " + condition;
    }
    const std::string where =
        source_.where.empty() ? condition : "(" + source_.where + ") AND (" + condition + ")";
    return orderedIds(where) + " LIMIT 1";
}

void Recordset::findName(const std::string& column, const std::string& name) {
    requireKeyset("Find");
    findWhere("quorvane_same_name(" + quoted(columns_[columnIndex(column)]) + ", ?)",
              {Value(name)});
}

void Recordset::findWhere(const std::string& condition, const std::vector<Value>& params,
                          const std::string& table) {
    requireKeyset("Find");
    flushEdit();
    followOtherPrograms();
    if (bof() || eof()) {
        throw DbError::noCurrentRecord();
    }
    const auto held = holdOrder();
    const bool inOrder = quoted(table.empty() ? source_.table : table) == keysFrom();
    if (inOrder && pos_ == 0 && live_ == static_cast<std::int64_t>(keys_.size())) {
        // From the first row: one indexed lookup of the first match in the source's order.
        Statement first(*connection_, findSql(condition, table));
        first.bindAll(source_.params);
        for (std::size_t i = 0; i < params.size(); ++i) {
            first.bind(static_cast<int>(source_.params.size() + i) + 1, params[i]);
        }
        if (!first.step()) {
            pos_ = static_cast<std::ptrdiff_t>(keys_.size());
            return;
        }
        if (const auto position = locate(first.integerColumn(0))) {
            pos_ = *position;
            return;
        }
    }
    // The rows matching, then the first of them from the current row on.
    Statement statement(*connection_, inOrder ? "SELECT " + idColumn() + " FROM " + keysFrom() +
                                                    " WHERE " + condition
                                              : findSql(condition, table));
    statement.bindAll(params);
    std::unordered_set<std::int64_t> matches;
    while (statement.step()) {
        matches.insert(statement.integerColumn(0));
    }
    const auto size = static_cast<std::ptrdiff_t>(keys_.size());
    std::ptrdiff_t i = std::max<std::ptrdiff_t>(pos_, 0);
    while (!matches.empty() && i < size && (removed_[i] || !matches.contains(keys_[i]))) {
        ++i;
    }
    pos_ = matches.empty() ? size : i;
}

}  // namespace db

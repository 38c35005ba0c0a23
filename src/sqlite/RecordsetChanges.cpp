// Changing rows through a recordset: edits, new rows, deletions and batches.
#include <algorithm>

#include "sqlite/DbError.h"
#include "sqlite/Recordset.h"
#include "sqlite/SqlText.h"

namespace db {

void Recordset::setField(const std::string& name, const Value& value) {
    requireKeyset("Field update");
    if (lock_ == LockType::ReadOnly) {
        throw DbError::notAllowed("updating a read-only recordset");
    }
    const std::size_t column = columnIndex(name);
    if (edit_ == Edit::None) {
        editValues_ = currentRow();
        editBase_ = editValues_;
        editTouched_.assign(columns_.size(), 0);
        edit_ = Edit::Changing;
    }
    editValues_[column] = value;
    editTouched_[column] = 1;
}

void Recordset::addNew() {
    requireKeyset("AddNew");
    if (lock_ == LockType::ReadOnly) {
        throw DbError::notAllowed("adding to a read-only recordset");
    }
    flushEdit();
    editValues_.assign(columns_.size(), Value());
    editTouched_.assign(columns_.size(), 0);
    edit_ = Edit::Adding;
}

void Recordset::cancelUpdate() {
    edit_ = Edit::None;
}

void Recordset::flushEdit() {
    if (edit_ != Edit::None) {
        update();
    }
}

void Recordset::beginBatchIfNeeded() {
    if (lock_ == LockType::BatchOptimistic && !batch_) {
        batch_ = std::make_unique<Transaction>(*connection_);
    }
}

void Recordset::update() {
    requireOpen();
    if (edit_ == Edit::None) {
        return;
    }
    const Edit edit = edit_;
    edit_ = Edit::None;  // a failed write is dropped, never left half-pending
    std::vector<std::string> names;
    std::vector<Value> values;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (editTouched_[i]) {
            names.push_back(quoted(columns_[i]));
            values.push_back(editValues_[i]);
        }
    }
    beginBatchIfNeeded();
    const std::string table = quoted(source_.table);
    if (edit == Edit::Adding) {
        std::string sql = "INSERT INTO " + table;
        if (names.empty()) {
            sql += " DEFAULT VALUES";
        } else {
            std::string columns, marks;
            for (std::size_t i = 0; i < names.size(); ++i) {
                columns += (i ? ", " : "") + names[i];
                marks += i ? ", ?" : "?";
            }
            sql += " (" + columns + ") VALUES (" + marks + ")";
        }
        connection_->execute(sql, values);
        keys_.push_back(connection_->lastInsertRowId());
        removed_.push_back(0);
        ++live_;
        pos_ = static_cast<std::ptrdiff_t>(keys_.size()) - 1;
        cacheRow(keys_.back());
        return;
    }
    if (names.empty()) {
        return;
    }
    std::string assignments;
    for (std::size_t i = 0; i < names.size(); ++i) {
        assignments += (i ? ", " : "") + names[i] + " = ?";
    }
    const std::int64_t key = currentKey();
    values.emplace_back(key);
    writeRowAsRead(key, editBase_, [&] {
        connection_->execute("UPDATE " + table + " SET " + assignments + " WHERE rowid = ?",
                             values);
    });
}

void Recordset::deleteCurrent() {
    requireKeyset("Delete");
    if (lock_ == LockType::ReadOnly) {
        throw DbError::notAllowed("deleting from a read-only recordset");
    }
    edit_ = Edit::None;
    const std::int64_t key = currentKey();
    beginBatchIfNeeded();
    if (batch_) {
        // A batch only marks the row; UpdateBatch deletes every marked row at once.
        removed_[pos_] = 1;
        --live_;
        cacheValid_ = false;
        return;
    }
    if (!rowDeleter_) {
        rowDeleter_ = std::make_unique<Statement>(
            *connection_, "DELETE FROM " + quoted(source_.table) + " WHERE rowid = ?");
    }
    // The record as shown, when it was read.
    const std::vector<Value> shown =
        cacheValid_ && cachedKey_ == key ? rowCache_ : std::vector<Value>{};
    writeRowAsRead(key, shown, [&] {
        rowDeleter_->bind(1, Value(key));
        rowDeleter_->step();  // a failed step resets the statement itself
        rowDeleter_->reset();
    });
    removed_[pos_] = 1;
    --live_;
    cacheValid_ = false;
}

void Recordset::updateBatch() {
    requireKeyset("UpdateBatch");
    flushEdit();
    if (batch_) {
        deleteMarkedRows();
        batch_->commit();
        batch_.reset();
    }
}

// Inside the batch's transaction (which has held the file since the first mark): when the
// marks take every row of the source, one DELETE empties it, as fast as the engine can;
// otherwise the marked rows go one by one.
void Recordset::deleteMarkedRows() {
    const auto marked = static_cast<std::int64_t>(std::count(removed_.begin(), removed_.end(), 1));
    if (marked == 0) {
        return;
    }
    // Every row when nothing narrows the source: counted in the table itself, where a row its
    // order does not hold yet is counted too.
    const std::string where = source_.where.empty() ? "" : " WHERE " + source_.where;
    Statement count(*connection_, "SELECT count(*) FROM " +
                                      (where.empty() ? quoted(source_.table) : keysFrom()) + where);
    count.bindAll(source_.params);
    if (count.step() && count.integerColumn(0) == marked) {
        count.reset();
        if (where.empty() && source_.empty) {
            source_.empty(*connection_);
            return;
        }
        const bool byOrder = !source_.orderTable.empty() && !where.empty();
        connection_->execute(
            "DELETE FROM " + quoted(source_.table) +
                (byOrder ? " WHERE rowid IN (SELECT Id FROM " + keysFrom() + where + ")" : where),
            source_.params);
        return;
    }
    count.reset();
    Statement remove(*connection_, "DELETE FROM " + quoted(source_.table) + " WHERE rowid = ?");
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (removed_[i]) {
            remove.bind(1, Value(keys_[i]));
            remove.step();
            remove.reset();
        }
    }
}

void Recordset::cancelBatch() {
    requireKeyset("CancelBatch");
    edit_ = Edit::None;
    if (batch_) {
        batch_.reset();
        loadKeys();  // the dropped deletions are rows again
    }
}

}  // namespace db

// Opening, moving and reading: the cursor itself.
#include "sqlite/Recordset.h"

#include <strings.h>
#include <algorithm>

#include "sqlite/DbError.h"
#include "sqlite/SqlText.h"

namespace db {

Recordset::~Recordset() {
    close();
}

void Recordset::open(Connection& connection, TableSource source, CursorType cursor, LockType lock) {
    close();
    source_ = std::move(source);
    if (cursor == CursorType::ForwardOnly) {
        openQuery(connection, selectFrom("*"), source_.params);
        return;
    }
    openKeyset(connection, lock, {}, nullptr);
}

void Recordset::openReading(Connection& connection, TableSource source, const std::string& column,
                            const ColumnReader& each) {
    close();
    source_ = std::move(source);
    openKeyset(connection, LockType::Optimistic, column, &each);
}

void Recordset::openKeyset(Connection& connection, LockType lock, const std::string& column,
                           const ColumnReader* each) {
    connection.handle();  // a closed connection fails here with 3704
    connection_ = &connection;
    cursor_ = CursorType::Keyset;
    lock_ = lock;
    try {
        prepareRowReader();
        loadKeys(each ? quoted(columns_[columnIndex(column)]) : std::string(), each);
        if (each) {
            pos_ = static_cast<std::ptrdiff_t>(keys_.size());  // after the rows it read
        }
    } catch (...) {
        close();
        throw;
    }
}

void Recordset::openQuery(Connection& connection, std::string sql, std::vector<Value> params) {
    close();
    connection.handle();
    connection_ = &connection;
    cursor_ = CursorType::ForwardOnly;
    lock_ = LockType::ReadOnly;
    querySql_ = std::move(sql);
    queryParams_ = std::move(params);
    try {
        query_ = std::make_unique<Statement>(connection, querySql_);
        query_->bindAll(queryParams_);
        columns_.clear();
        for (int i = 0; i < query_->columnCount(); ++i) {
            columns_.push_back(query_->columnName(i));
        }
        stepForwardOnly();
    } catch (...) {
        close();
        throw;
    }
}

void Recordset::close() {
    edit_ = Edit::None;
    batch_.reset();  // an unfinished batch is rolled back
    rowReader_.reset();
    rowDeleter_.reset();
    orderProbe_.reset();
    probedKeys_.clear();
    query_.reset();
    keys_.clear();
    removed_.clear();
    live_ = 0;
    pos_ = -1;
    cacheValid_ = false;
    queryEof_ = true;
    connection_ = nullptr;
}

void Recordset::requireOpen() const {
    if (!connection_) {
        throw DbError::objectClosed();
    }
}

void Recordset::requireKeyset(const char* what) const {
    requireOpen();
    if (cursor_ == CursorType::ForwardOnly) {
        throw DbError::notAllowed(std::string(what) + " on a forward-only recordset");
    }
}

void Recordset::prepareRowReader() {
    rowReader_ = std::make_unique<Statement>(
        *connection_, "SELECT * FROM " + quoted(source_.table) + " WHERE rowid = ?");
    columns_.clear();
    for (int i = 0; i < rowReader_->columnCount(); ++i) {
        columns_.push_back(rowReader_->columnName(i));
    }
}

void Recordset::forEachRow(const std::string& columns,
                           const std::function<void(const Statement&)>& row) {
    requireOpen();
    const auto held = holdOrder();  // rows written since the open are in their places
    Statement statement(*connection_, selectFrom(columns));
    statement.bindAll(source_.params);
    while (statement.step()) {
        row(statement);
    }
}

// The source's order brought up to date and held so while it is read; nothing for a source
// without one.
std::shared_ptr<void> Recordset::holdOrder() {
    return source_.hold ? source_.hold(*connection_) : nullptr;
}

// Columns of the table's rows, in the source's order: an order kept in a table of its own
// is joined to the rows it places.
std::string Recordset::selectFrom(const std::string& columns) const {
    std::string from = quoted(source_.table);
    if (!source_.orderTable.empty()) {
        from = quoted(source_.orderTable) + " JOIN " + from + " ON " + from +
               ".rowid = " + quoted(source_.orderTable) + ".Id";
    }
    std::string sql = "SELECT " + columns + " FROM " + from;
    if (!source_.where.empty()) {
        sql += " WHERE " + source_.where;
    }
    return sql + " ORDER BY " + keyOrder();
}

// The source's row ids in its order, read from the order alone.
std::string Recordset::orderedIds(const std::string& where) const {
    return "SELECT " + idColumn() + " FROM " + keysFrom() +
           (where.empty() ? "" : " WHERE " + where) + " ORDER BY " + keyOrder();
}

std::string Recordset::keysFrom() const {
    return quoted(source_.orderTable.empty() ? source_.table : source_.orderTable);
}

std::string Recordset::idColumn() const {
    return source_.orderTable.empty() ? "rowid" : keysFrom() + ".Id";
}

// The source's order, rows equal in it taken by row id (as the order's index holds them):
// every row has one place.
std::string Recordset::keyOrder() const {
    const std::string& order = source_.orderBy;
    if (order.empty()) {
        return idColumn();
    }
    const bool endsWithRowId =
        order.size() >= 5 && order.compare(order.size() - 5, 5, "rowid") == 0;
    return endsWithRowId ? order : order + ", " + idColumn();
}

void Recordset::loadKeys(const std::string& column, const ColumnReader* each) {
    const auto held = holdOrder();
    if (source_.hold) {
        seenVersion_ = connection_->dataVersion();
        seenFileVersion_ = connection_->fileVersion();
        loadedGeneration_ = connection_->rowIdGeneration();
    }
    Statement statement(*connection_,
                        each ? selectFrom(idColumn() + ", " + column) : orderedIds(source_.where));
    statement.bindAll(source_.params);
    keys_.clear();
    while (statement.step()) {
        keys_.push_back(statement.integerColumn(0));
        if (each) {
            (*each)(statement.textColumn(1));
        }
    }
    removed_.assign(keys_.size(), 0);
    probedKeys_.clear();  // the rows are read as they are now
    live_ = static_cast<std::int64_t>(keys_.size());
    loadedKeys_ = static_cast<std::ptrdiff_t>(keys_.size());
    pos_ = 0;
    cacheValid_ = false;
}

bool Recordset::onRow() const {
    return pos_ >= 0 && pos_ < static_cast<std::ptrdiff_t>(keys_.size()) && !removed_[pos_];
}

bool Recordset::onRemovedRow() const {
    return pos_ >= 0 && pos_ < static_cast<std::ptrdiff_t>(keys_.size()) && removed_[pos_];
}

bool Recordset::eof() const {
    requireOpen();
    if (cursor_ == CursorType::ForwardOnly) {
        return queryEof_;
    }
    if (onRemovedRow()) {
        return false;
    }
    return pos_ >= static_cast<std::ptrdiff_t>(keys_.size()) || live_ == 0;
}

bool Recordset::bof() const {
    requireOpen();
    if (cursor_ == CursorType::ForwardOnly) {
        return false;
    }
    if (onRemovedRow()) {
        return false;
    }
    return pos_ < 0 || live_ == 0;
}

std::int64_t Recordset::recordCount() const {
    requireOpen();
    return cursor_ == CursorType::ForwardOnly ? -1 : live_;
}

// Moves to `position`, stepping over deleted rows in `direction` (+1 or -1).
void Recordset::settle(std::ptrdiff_t position, int direction) {
    const auto size = static_cast<std::ptrdiff_t>(keys_.size());
    while (position >= 0 && position < size && removed_[position]) {
        position += direction;
    }
    pos_ = std::clamp<std::ptrdiff_t>(position, -1, size);
}

void Recordset::moveFirst() {
    requireOpen();
    flushEdit();
    followOtherPrograms();
    if (cursor_ == CursorType::ForwardOnly) {
        restartForwardOnly();
        if (queryEof_) {
            throw DbError::noCurrentRecord();
        }
        return;
    }
    if (live_ == 0) {
        pos_ = 0;
        throw DbError::noCurrentRecord();
    }
    settle(0, +1);
}

void Recordset::moveLast() {
    requireKeyset("MoveLast");
    flushEdit();
    followOtherPrograms();
    if (live_ == 0) {
        pos_ = 0;
        throw DbError::noCurrentRecord();
    }
    settle(static_cast<std::ptrdiff_t>(keys_.size()) - 1, -1);
}

void Recordset::moveNext() {
    requireOpen();
    flushEdit();
    if (eof()) {
        throw DbError::noCurrentRecord();
    }
    if (cursor_ == CursorType::ForwardOnly) {
        stepForwardOnly();
        return;
    }
    settle(pos_ + 1, +1);
}

void Recordset::movePrevious() {
    requireKeyset("MovePrevious");
    flushEdit();
    if (bof()) {
        throw DbError::noCurrentRecord();
    }
    settle(pos_ - 1, -1);
}

void Recordset::restartForwardOnly() {
    query_->reset();
    query_->bindAll(queryParams_);
    stepForwardOnly();
}

void Recordset::stepForwardOnly() {
    queryEof_ = !query_->step();
    queryRow_.clear();
    if (!queryEof_) {
        for (int i = 0; i < query_->columnCount(); ++i) {
            queryRow_.push_back(query_->column(i));
        }
    }
}

std::int64_t Recordset::currentKey() const {
    if (onRow()) {
        return keys_[pos_];
    }
    if (onRemovedRow()) {
        throw DbError::recordDeleted();
    }
    throw DbError::noCurrentRecord();
}

const std::vector<Value>& Recordset::currentRow() {
    if (cacheValid_ && cachedKey_ == currentKey()) {
        return rowCache_;
    }
    // Read first: whether the file changed since comes with the read, without a lock of its
    // own. Row ids another program renumbered meanwhile are followed, and the row read again.
    auto row = readRow(currentKey());
    const std::uint64_t generation = loadedGeneration_;
    followOtherPrograms();
    if (loadedGeneration_ != generation) {
        row = readRow(currentKey());
    }
    if (!row) {
        dropGone(currentKey());
        throw DbError::recordDeleted();  // deleted through another recordset or program
    }
    rowCache_ = std::move(*row);
    cachedKey_ = currentKey();
    cachedPlace_ = pos_;
    cacheValid_ = true;
    return rowCache_;
}

void Recordset::dropGone(std::int64_t key) {
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (keys_[i] == key && !removed_[i]) {
            removed_[i] = 1;
            --live_;
            cacheValid_ = false;
            return;
        }
    }
}

// A row's values by its row id; nothing for a row gone. The reader is always left reset (so
// it holds no read lock between rows).
std::optional<std::vector<Value>> Recordset::readRow(std::int64_t key) {
    rowReader_->bind(1, Value(key));
    std::optional<std::vector<Value>> row;
    try {
        if (rowReader_->step()) {
            row.emplace();
            for (int i = 0; i < rowReader_->columnCount(); ++i) {
                row->push_back(rowReader_->column(i));
            }
        }
    } catch (...) {
        rowReader_->reset();
        throw;
    }
    rowReader_->reset();
    return row;
}

std::size_t Recordset::columnIndex(const std::string& name) const {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (strcasecmp(columns_[i].c_str(), name.c_str()) == 0) {
            return i;
        }
    }
    throw DbError(err::Unspecified,
                  "Item cannot be found in the collection corresponding to the requested name "
                  "or ordinal ('" +
                      name + "').");
}

Value Recordset::field(const std::string& name) {
    requireOpen();
    const std::size_t column = columnIndex(name);
    if (cursor_ == CursorType::ForwardOnly) {
        if (queryEof_) {
            throw DbError::noCurrentRecord();
        }
        return queryRow_[column];
    }
    if (edit_ != Edit::None && (edit_ == Edit::Adding || editTouched_[column])) {
        return editValues_[column];
    }
    return currentRow()[column];
}

void Recordset::requery() {
    requireOpen();
    edit_ = Edit::None;
    if (cursor_ == CursorType::ForwardOnly) {
        restartForwardOnly();
        return;
    }
    loadKeys();
}

}  // namespace db

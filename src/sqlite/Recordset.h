#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "sqlite/Connection.h"
#include "sqlite/Value.h"

namespace db {

// The catalogue has one user, so a keyset also serves where other engines offer a
// dynamic cursor: rows added through the recordset join it, and Requery picks up the rest.
enum class CursorType { ForwardOnly, Keyset };
enum class LockType { ReadOnly, Optimistic, BatchOptimistic };
// SameName: equal as names are (case and the way an accent is written aside; see Collation.h).
enum class FindOp { Equal, BeginsWith, SameName };

// The rows of one table a keyset recordset presents, in order. The texts come from the
// program's fixed lists; values for the placeholders in `where` are bound, never pasted.
// The order is the table's own columns', or a table of the order beside it (`orderTable`,
// the rows' ids in its column Id), which `orderBy` and `where` then name.
struct TableSource {
    std::string table;
    std::string orderBy;
    std::string where;
    std::vector<Value> params;
    // Brings what the order and the condition read up to date, before they are read.
    std::function<void(Connection&)> prepare = {};
    std::string orderTable = {};
    // The same order over the table's own rows, for comparing two of them; `orderBy` when
    // empty.
    std::string orderOfRows = {};
    // Deletes every row of the table, and what is kept beside it, at once; a plain DELETE
    // when none is given.
    std::function<void(Connection&)> empty = {};
};

// A cursor over catalogue rows with the behaviour the windows rely on.
//
// Keyset cursors hold the ordered row ids taken at open and read a row by id
// only when a field is asked for, so a move is O(1) and opening costs one index scan. A
// bookmark is a row id: it stays valid across a close and reopen of the same table.
// Positions: BOF before the first row, EOF after the last; both when there are no rows.
// Batch-optimistic recordsets keep every change in one transaction until UpdateBatch
// (commit) or CancelBatch (roll back); closing without either rolls back.
class Recordset {
  public:
    Recordset() = default;
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // The stored index name (the main recordset keeps its view name here).
    void setIndex(std::string name) { index_ = std::move(name); }
    const std::string& index() const { return index_; }

    void open(Connection& connection, TableSource source, CursorType cursor = CursorType::Keyset,
              LockType lock = LockType::Optimistic);
    // Opens a keyset cursor and, in the same pass over the rows, hands `each` the text of
    // `column` of every row in order (nothing for a Null): filling a list costs one scan.
    // The cursor is left after the last row, as a loop reading the rows would leave it.
    using ColumnReader = std::function<void(std::optional<std::string_view> text)>;
    void openReading(Connection& connection, TableSource source, const std::string& column,
                     const ColumnReader& each);
    // A forward-only cursor over any query (grouped tallies, option rows).
    void openQuery(Connection& connection, std::string sql, std::vector<Value> params = {});
    void close();
    bool isOpen() const { return connection_ != nullptr; }
    // Exchanges everything, index name included, with another recordset.
    void swap(Recordset& other) noexcept;

    bool eof() const;
    bool bof() const;
    std::int64_t recordCount() const;  // -1 for a forward-only cursor, as it cannot know

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();

    // 1-based ordinal of the current row among the rows still present; moving there is
    // constant time unless rows were deleted through this recordset.
    void setAbsolutePosition(std::int64_t ordinal);

    // The 1-based ordinal of the current row among the rows still present.
    std::int64_t absolutePosition() const;

    std::int64_t bookmark() const;
    void setBookmark(std::int64_t rowId);

    Value field(const std::string& name) const;
    void setField(const std::string& name, const Value& value);
    const std::vector<std::string>& columns() const { return columns_; }

    void addNew();
    void update();
    void cancelUpdate();
    void deleteCurrent();

    // First row matching `column op value`, searching forward from the current row;
    // EOF when there is none. The value is bound: quotes in it are plain characters.
    void find(const std::string& column, FindOp op, const std::string& value);
    // The same for a condition on the columns of `table` (the source's table when empty, or
    // its order table), its values bound.
    void findWhere(const std::string& condition, const std::vector<Value>& params,
                   const std::string& table = {});
    // The statement a find from the first row runs (for a look at its plan).
    std::string findSql(const std::string& condition, const std::string& table = {}) const;

    void requery();
    // A statement over the rows this recordset was opened on, in its order, reading
    // `columns` as the rows now are (for writing them all out in one pass).
    Statement query(const std::string& columns) const;
    void updateBatch();
    void cancelBatch();

  private:
    enum class Edit { None, Changing, Adding };

    void openKeyset(Connection& connection, LockType lock, const std::string& column,
                    const ColumnReader* each);
    void requireOpen() const;
    void requireKeyset(const char* what) const;
    void loadKeys(const std::string& column = {}, const ColumnReader* each = nullptr);
    void prepareRowReader();
    std::int64_t currentKey() const;
    bool onRow() const;
    bool onRemovedRow() const;
    const std::vector<Value>& currentRow() const;
    std::size_t columnIndex(const std::string& name) const;
    void flushEdit();
    void settle(std::ptrdiff_t position, int direction);
    std::string selectFrom(const std::string& columns) const;
    std::string orderedIds(const std::string& where) const;
    std::string keysFrom() const;
    std::string idColumn() const;
    std::string keyOrder() const;
    std::optional<std::ptrdiff_t> locate(std::int64_t rowId);
    std::function<bool(std::int64_t)> rowsBefore(std::int64_t rowId);
    std::optional<std::vector<std::string>> orderKeysOf(std::int64_t rowId);
    void restartForwardOnly();
    void stepForwardOnly();
    void beginBatchIfNeeded();
    void deleteMarkedRows();

    std::string index_;
    Connection* connection_ = nullptr;
    CursorType cursor_ = CursorType::Keyset;
    LockType lock_ = LockType::Optimistic;
    TableSource source_;
    std::vector<std::string> columns_;

    // Keyset state.
    std::vector<std::int64_t> keys_;
    std::vector<char> removed_;  // rows deleted through this recordset stay as tombstones
    std::int64_t live_ = 0;
    std::ptrdiff_t pos_ = -1;
    std::unique_ptr<Statement> rowReader_;
    std::unique_ptr<Statement> rowDeleter_;  // prepared on first use
    std::unique_ptr<Statement> orderProbe_;  // a row's place in the order, for locate()
    std::unordered_map<std::int64_t, std::vector<std::string>> probedKeys_;  // until a load
    std::ptrdiff_t loadedKeys_ = 0;  // keys from the load; rows added come after
    mutable std::vector<Value> rowCache_;
    mutable std::int64_t cachedKey_ = 0;
    mutable bool cacheValid_ = false;

    Edit edit_ = Edit::None;
    std::vector<Value> editValues_;
    std::vector<char> editTouched_;

    std::unique_ptr<Transaction> batch_;

    // Forward-only state.
    std::string querySql_;
    std::vector<Value> queryParams_;
    std::unique_ptr<Statement> query_;
    bool queryEof_ = true;
    std::vector<Value> queryRow_;
};

}  // namespace db

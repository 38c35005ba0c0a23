#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "sqlite/Connection.h"
#include "sqlite/Value.h"

namespace db {

// The catalogue has one user, so a keyset also serves where other engines offer a
// dynamic cursor: rows added through the recordset join it, and Requery picks up the rest.
enum class CursorType { ForwardOnly, Keyset };
enum class LockType { ReadOnly, Optimistic, BatchOptimistic };

// The rows of one table a keyset recordset presents, in order. The texts come from the
// program's fixed lists; values for the placeholders in `where` are bound, never pasted.
// The order is the table's own columns', or a table of the order beside it (`orderTable`,
// the rows' ids in its column Id), which `orderBy` and `where` then name.
struct TableSource {
    std::string table;
    std::string orderBy;
    std::string where;
    std::vector<Value> params;
    // For an order kept beside the table: brings it up to date with the rows and holds it so
    // (one transaction) until what it gives is let go. A source with one follows other
    // programs' writes: rows they renumber are read again (see Connection::rowIdGeneration).
    std::function<std::shared_ptr<void>(Connection&)> hold = {};
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
// A row is changed or deleted only while it holds what was read of it: another program may
// have changed it, or renumbered the rows, since (RowChanged; the rows are then read again and
// the record found by what was read of it).
// Positions: BOF before the first row, EOF after the last; both when there are no rows.
// Batch-optimistic recordsets keep every change in one transaction until UpdateBatch
// (commit) or CancelBatch (roll back); closing without either rolls back.
class Recordset {
  public:
    Recordset() = default;
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;
    // One moved from is closed.
    Recordset(Recordset&&) noexcept = default;
    Recordset& operator=(Recordset&&) noexcept = default;

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

    Value field(const std::string& name);
    void setField(const std::string& name, const Value& value);
    const std::vector<std::string>& columns() const { return columns_; }

    void addNew();
    void update();
    void cancelUpdate();
    void deleteCurrent();

    // The first row, from the current one on, holding `name` in `column` as a name (case and
    // the way an accent is written aside: quorvane_same_name, the catalogue's collation); EOF
    // when there is none. The name is bound.
    void findName(const std::string& column, const std::string& name);
    // The first row, from the current one on, meeting a condition on the columns of `table`
    // (the source's table when empty, or its order table), its values bound.
    void findWhere(const std::string& condition, const std::vector<Value>& params,
                   const std::string& table = {});
    // The statement a find from the first row runs (for a look at its plan).
    std::string findSql(const std::string& condition, const std::string& table = {}) const;

    void requery();
    // Each row this recordset was opened on, in its order, `columns` read as the rows now
    // are (for writing them all out in one pass).
    void forEachRow(const std::string& columns, const std::function<void(const Statement&)>& row);
    void updateBatch();
    void cancelBatch();

  private:
    enum class Edit { None, Changing, Adding };

    void openKeyset(Connection& connection, LockType lock, const std::string& column,
                    const ColumnReader* each);
    void requireOpen() const;
    void requireKeyset(const char* what) const;
    void loadKeys(const std::string& column = {}, const ColumnReader* each = nullptr);
    std::shared_ptr<void> holdOrder();
    // A row found gone (another program deleted it): out of the keyset, as a tombstone the
    // moves step over, and out of the count.
    void dropGone(std::int64_t key);
    void followOtherPrograms();
    std::optional<std::ptrdiff_t> findAgain(const std::vector<Value>& asRead, std::int64_t key,
                                            bool renumbered);
    bool rowHolds(std::int64_t key, const std::vector<Value>& values);
    void cacheRow(std::int64_t key);
    void writeRowAsRead(std::int64_t key, const std::vector<Value>& asRead,
                        const std::function<void()>& write);
    void prepareRowReader();
    std::int64_t currentKey() const;
    bool onRow() const;
    bool onRemovedRow() const;
    const std::vector<Value>& currentRow();
    std::optional<std::vector<Value>> readRow(std::int64_t key);
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

    // The connection, which a move takes along: the recordset moved from is closed.
    class ConnectionRef {
      public:
        ConnectionRef() = default;
        ConnectionRef(ConnectionRef&& other) noexcept : to_(std::exchange(other.to_, nullptr)) {}
        ConnectionRef& operator=(ConnectionRef&& other) noexcept {
            to_ = std::exchange(other.to_, nullptr);
            return *this;
        }
        ConnectionRef& operator=(Connection* to) {
            to_ = to;
            return *this;
        }
        Connection* operator->() const { return to_; }
        Connection& operator*() const { return *to_; }
        bool operator==(std::nullptr_t) const { return to_ == nullptr; }
        explicit operator bool() const { return to_ != nullptr; }

      private:
        Connection* to_ = nullptr;
    };

    std::string index_;
    ConnectionRef connection_;
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
    std::int64_t seenVersion_ = -1;          // the file as other programs left it, last looked
    std::uint32_t seenFileVersion_ = 0;      // the file as a row read last found it
    std::uint64_t loadedGeneration_ = 0;     // the row ids' generation the keys were read in
    std::unordered_map<std::int64_t, std::vector<std::string>> probedKeys_;  // until a load
    std::ptrdiff_t loadedKeys_ = 0;  // keys from the load; rows added come after
    std::vector<Value> rowCache_;
    std::int64_t cachedKey_ = 0;
    std::ptrdiff_t cachedPlace_ = 0;  // where the cached row was read
    bool cacheValid_ = false;

    Edit edit_ = Edit::None;
    std::vector<Value> editValues_;
    std::vector<Value> editBase_;  // the row as read when the edit began
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

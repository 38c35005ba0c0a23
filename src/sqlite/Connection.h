#pragma once

#include <any>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sqlite/Value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace db {

class Connection;

// A prepared statement with bound parameters; finalized when it goes out of scope.
class Statement {
  public:
    Statement(Connection& connection, const std::string& sql);

    Statement& bind(int index, const Value& value);  // 1-based, as SQLite counts
    Statement& bindAll(const std::vector<Value>& values);
    // Binds text without copying it (nothing binds Null): it must stay as it is until the
    // statement is stepped and reset.
    Statement& bindText(int index, std::optional<std::string_view> text);
    // Binds bytes as a BLOB, copied.
    Statement& bindBlob(int index, std::string_view bytes);
    bool step();  // true while a row is available
    void reset();
    int columnCount() const;
    std::string columnName(int column) const;
    Value column(int column) const;
    std::int64_t integerColumn(int column) const;  // for row ids: no Value on the hot path
    // The column's text as the engine holds it, valid until the next step; nothing for Null.
    std::optional<std::string_view> textColumn(int column) const;
    // The column's bytes as the engine holds them (a BLOB's, not copied to text).
    std::string_view blobColumn(int column) const;

  private:
    struct Finalizer {
        void operator()(sqlite3_stmt* stmt) const;
    };
    Connection* connection_;
    std::unique_ptr<sqlite3_stmt, Finalizer> stmt_;
};

// One open catalogue file. Opening never creates a file: a missing, locked or foreign
// file fails with a DbError.
class Connection {
  public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void open(const std::string& path);
    // For the build tool and tests only: creates the file when it does not exist.
    void create(const std::string& path);
    void close();
    bool isOpen() const { return handle_ != nullptr; }
    // The file or its folder cannot be written: the catalogue can be read, not changed.
    bool isReadOnly() const { return readOnly_; }
    // A transaction is open on the connection.
    bool inTransaction() const;
    // Called when a statement starts waiting for another program that holds the file.
    void setWaitNotice(std::function<void()> notice) { onWait_ = std::move(notice); }
    static constexpr const char* ReadOnlyText =
        "The catalogue is read-only: changes cannot be saved";
    static constexpr const char* ReplacedText =
        "Another copy of the program put a new catalogue file in this one's place (a repair): "
        "the catalogue is opened again, save your change once more";
    const std::string& path() const { return path_; }
    // Whether another file is at the path than the one opened (another program put it in its
    // place, as a repair's compacted copy is): this connection reads the old one.
    bool replacedAtItsPath() const;

    void execute(const std::string& sql, const std::vector<Value>& params = {});
    void executeScript(const std::string& sql);  // several statements, no parameters
    // The first column of the first row a statement gives: 0 or empty text for none or Null.
    std::int64_t integerValue(const std::string& sql, const std::vector<Value>& params = {});
    std::string textValue(const std::string& sql, const std::vector<Value>& params = {});
    std::int64_t lastInsertRowId() const;
    int changes() const;
    // Rows this connection has written since it opened the file (triggers' rows included).
    std::int64_t totalChanges() const;
    // Changes whenever another connection commits a change to the file (never for ours).
    std::int64_t dataVersion();
    // Changes with every change to the file, ours too, as the last read found it: no lock
    // taken, so only as fresh as the last statement that read the file.
    std::uint32_t fileVersion() const;

    // Another program renumbered the row ids of tables without an INTEGER PRIMARY KEY (a
    // plain VACUUM does): whoever finds it out counts it here, and whoever holds row ids
    // compares the count with the one it read them under.
    void rowIdsRenumbered() { ++rowIdGeneration_; }
    std::uint64_t rowIdGeneration() const { return rowIdGeneration_; }

    // From now on a statement stops (fails) soon after `*stop` becomes true, whichever thread
    // sets it: a search a newer one replaces. Null: statements run to their end.
    void stopWhen(const std::atomic<bool>* stop);

    // What a layer above keeps about the open file (the catalogue's orders), forgotten when
    // the file is closed.
    std::any& kept() { return kept_; }

    sqlite3* handle() const;
    [[noreturn]] void fail(int code) const;  // throws the DbError for an engine failure

  private:
    friend class NoWaiting;
    void openWith(const std::string& path, int flags);
    void useDurableSettings();
    static int waitWhileBusy(void* self, int attempts);
    static std::optional<std::pair<std::uint64_t, std::uint64_t>> fileIdAt(const std::string& path);
    sqlite3* handle_ = nullptr;
    bool readOnly_ = false;
    std::function<void()> onWait_;
    std::string path_;
    std::optional<std::pair<std::uint64_t, std::uint64_t>> fileId_;  // the file opened
    bool waits_ = true;
    std::unique_ptr<Statement> dataVersion_;
    std::uint64_t rowIdGeneration_ = 0;
    std::any kept_;
};

// While it lives (and is `active`), a statement another program's hold on the file keeps
// from running fails at once (busy) instead of waiting for it.
class NoWaiting {
  public:
    NoWaiting(Connection& connection, bool active)
        : connection_(connection), waited_(connection.waits_) {
        connection_.waits_ = waited_ && !active;
    }
    ~NoWaiting() { connection_.waits_ = waited_; }
    NoWaiting(const NoWaiting&) = delete;
    NoWaiting& operator=(const NoWaiting&) = delete;

  private:
    Connection& connection_;
    bool waited_;
};

// Rolls back unless commit() is called.
class Transaction {
  public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

  private:
    Connection& connection_;
    bool done_ = false;
};

// A unit of work that joins a transaction already open or is one of its own: undone whole
// unless released.
class Savepoint {
  public:
    explicit Savepoint(Connection& connection);
    ~Savepoint();
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;
    void release();

  private:
    Connection& connection_;
    bool outermost_;
    bool done_ = false;
};

// One read lock over many reads: each statement outside a transaction takes and drops the
// file's lock and checks the file again, which costs more than a small indexed lookup.
// Nothing is written through the connection meanwhile.
class ReadTransaction {
  public:
    explicit ReadTransaction(Connection& connection);
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

  private:
    Connection& connection_;
};

}  // namespace db

#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "sqlite/Connection.h"

// The four orders of Main (see data/orders.sql and Collation.h), kept true to it whoever
// writes the file: this program, the stock sqlite3 tool, another copy of the program in
// another language. The views, ranges, go-to, counts and reports read them, never the texts,
// so every window orders and matches names alike.
namespace db::catalogue {

// At the opening of a catalogue: gives a catalogue made before the orders (or one whose orders
// another tool took apart, or renumbered) its tables and triggers and every key again, as it
// does when the collation or its locale changed; otherwise places the records written since.
// `progress` hears 0 to 100 while every key is made, or the keys of many records, and is kept
// for a remaking later in the session. A catalogue that cannot be written, or that another
// program holds, gets orders of this session's own.
void prepareOrders(Connection& connection, const std::function<void(int)>& progress = {});

// One read of the orders. They are brought true to Main first (the records written since are
// placed; orders that cannot be trusted are made again), and a transaction, or the caller's,
// holds the file still until the read ends: nothing another program commits comes between.
// While this program cannot write the file, or its keys are another collation's, the read is of
// orders of the session's own, made once and then following the records noted.
class OrderRead {
  public:
    explicit OrderRead(Connection& connection);
    ~OrderRead();
    OrderRead(const OrderRead&) = delete;
    OrderRead& operator=(const OrderRead&) = delete;

  private:
    friend void prepareOrders(Connection&, const std::function<void(int)>&);
    OrderRead(Connection& connection, bool opening);
    void end(bool keep) noexcept;
    Connection& connection_;
    bool began_ = false;
};

// The orders brought true now, as before a read.
inline void bringOrdersTrue(Connection& connection) {
    const OrderRead read(connection);
}

// Many records about to be added by the caller, in its transaction: no note is written for
// each and `placeAddedRecords` places them all in one pass, each order written once, in order.
// The row id the first of them will have; nothing when they must be noted one by one (they
// would reach past the largest row id, where the engine picks free ones at random; or the
// session reads orders of its own).
std::optional<std::int64_t> beginAddingMany(Connection& connection, std::int64_t expected);
void placeAddedRecords(Connection& connection, std::int64_t firstRowId);

// Deletes every record and every place in the orders, at once (in the caller's transaction).
void deleteEveryRecord(Connection& connection);

// Takes the orders away: the program makes them again at the catalogue's next opening.
void forgetOrders(Connection& connection);

// Whether the file's orders agree with Main: their tables and triggers there and trusted, the
// keys of this program's collation, and every row id of Main once in each order, no other.
bool ordersAgree(Connection& connection);
// Every key made again in the file, in the caller's transaction (a new catalogue's first).
void remakeOrders(Connection& connection);

// Whether another program renumbered Main's row ids since `generation` (the connection's
// rowIdGeneration when the ids were read): the orders are looked at only when the file changed
// since `seenVersion` (a PRAGMA data_version, kept by the caller). A held file fails busy.
bool renumberedSince(Connection& connection, std::uint64_t generation, std::int64_t& seenVersion);

}  // namespace db::catalogue

#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <string>

#include "sqlite/Connection.h"

// The orders as the file keeps them (see data/orders.sql): the triggers and the state that
// guard them, a look at them, every key made again, and the noted records placed. Orders.cpp
// decides which, and when.
namespace db::catalogue {

// What a look at the file's orders found.
struct Look {
    bool whole = false;            // every table and trigger there
    bool ours = false;             // keys of this program's collation
    bool trusted = false;          // nobody else wrote the orders, nor renumbered Main
    bool idsKept = false;          // Main's row ids are those the orders know (not renumbered)
    bool notes = false;            // records to place
    std::int64_t placedUpTo = 0;   // the last note placed
    std::int64_t renumbered = -1;  // times made again untrusted (-1: no state to say)
};
// The tables and triggers are looked for only when the schema changed since `wholeSchema`
// (the schema version last found whole, kept by the caller).
Look lookAtOrders(Connection& connection, std::int64_t& wholeSchema);

// The file's triggers made (with the orders' state and notes tables, where missing), or gone.
void makeFileTriggers(Connection& connection);
void dropFileTriggers(Connection& connection);

// Every key made again in the file, in the caller's transaction; the texts are not touched.
// `renumbered`: the count of untrusted remakings the state keeps.
void remakeFileOrders(Connection& connection, const std::function<void(int)>& progress,
                      std::int64_t renumbered = 0);

// The records noted after note `after` taken from their old places in the orders of `schema`
// (found by the keys of the texts they were placed by) and placed by their texts now; a record
// gone stays out. The number of the last note placed (`after` when there is none).
std::int64_t placeNotes(Connection& connection, const std::string& schema, std::int64_t after);

// The file's orders true to Main, in a write transaction: the records noted placed, or, when
// there are many or the orders cannot be trusted, every key made again (and, when Main's row
// ids may have moved, the row ids' generation moved, here and for every other copy of the
// program; an order or the word index written by another program moves no row id). Keys of another collation that can be trusted are left to the program that made
// them, but at an opening.
void bringFileTrue(Connection& connection, const Look& seen,
                   const std::function<void(int)>& progress, bool opening);

// Every record noted so far is in its places (or every place was made again).
void markNotesPlaced(Connection& connection);

void tell(const std::function<void(int)>& progress, int percent);
inline constexpr std::int64_t LowestRowId = std::numeric_limits<std::int64_t>::min();

}  // namespace db::catalogue

#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "sqlite/Connection.h"

// The sort keys of Main (see Collation.h and data/sortkeys.sql), kept in one table per view
// order beside it: the views, ranges and go-to read them, never the texts, so every window
// orders and matches names alike.
namespace db::catalogue {

// Makes the catalogue's orders the user's collation's: gives a catalogue made before them
// their tables and triggers, makes every key again when the collation or its locale changed
// or the stored keys are not what the collation makes, and otherwise places the records
// written since (by this program or another). `progress` hears 0 to 100 while every key is
// made, or the keys of many records, and nothing otherwise. A catalogue that cannot be
// written gets its orders for the session only, in tables of its own connection that stand
// in for the file's.
void prepareSortKeys(Connection& connection, const std::function<void(int percent)>& progress = {});

// Places the records written since the orders were last brought up to date: one look at an
// empty table when there are none. Called before anything reads an order.
void fillMissingKeys(Connection& connection);

// Many records about to be added by the caller, in its transaction: no note is written for
// each (see data/sortkeys.sql) and `placeAddedRecords` places them all in one pass, each
// order written once, in order; faster than placing them one by one. The row
// id the first of them will have; nothing when the `expected` records would reach past the
// largest row id (the engine then picks free ones at random, so they must be noted one by
// one).
std::optional<std::int64_t> beginAddingMany(Connection& connection, std::int64_t expected);
void placeAddedRecords(Connection& connection, std::int64_t firstRowId);

// Deletes every record and every place in the orders, at once (in the caller's transaction):
// faster than noting each record deleted.
void deleteEveryRecord(Connection& connection);

// Gives a new catalogue its orders (run in the transaction that made it).
void keyNewCatalogue(Connection& connection);

}  // namespace db::catalogue

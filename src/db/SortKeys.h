#pragma once

#include <functional>

#include "db/Connection.h"

// The sort keys of Main (see Collation.h and data/sortkeys.sql): the views, ranges and
// go-to read them, never the texts, so every window orders and matches names alike.
namespace db::catalogue {

// Makes the catalogue's keys the user's collation's: gives a catalogue made before them its
// key columns, indexes and triggers, makes every key again when the collation or its locale
// changed or the stored keys are not what the collation makes, and otherwise makes the keys
// of rows written since (by this program or another). `progress` hears 0 to 100 while every
// key is made, or the keys of many rows, and nothing otherwise. A catalogue that cannot be written
// gets its keys for the session only, in a view of its own connection that stands in for Main.
void prepareSortKeys(Connection& connection, const std::function<void(int percent)>& progress = {});

// Makes the keys of rows written since they were last made: one indexed look when there
// are none. Called before anything reads the order.
void fillMissingKeys(Connection& connection);

// The indexes of the four orders, dropped before many rows are written and built once
// after them (in the caller's transaction): faster than keeping them up row by row, and
// built packed.
void dropOrderIndexes(Connection& connection);
void buildOrderIndexes(Connection& connection);

// Gives a new catalogue its keys (run in the transaction that made it).
void keyNewCatalogue(Connection& connection);

}  // namespace db::catalogue

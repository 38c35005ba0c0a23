#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/Views.h"
#include "sqlite/Connection.h"

// The tables of the four orders (see data/orders.sql), in the file ("main") or for one
// session ("temp", standing in for the file's): how they are made, and how records' places
// are written into them, one by one or many at once. Orders.cpp decides when.
namespace db::catalogue {

// Keys are made this many records at a time, so a long run can tell how far it is.
inline constexpr std::int64_t KeysPerStep = 20000;

// A record's sort keys, in the order of its texts.
using OrderKeys = std::array<std::string, 4>;
OrderKeys keysOf(const RecordTexts& texts);

// "main.\"ArtistOrder\"": a view's order table in a schema.
std::string orderTable(const std::string& schema, const View& view);

// The four order tables of `schema` and its word index made anew and empty, or gone.
void makeEmptyOrderTables(Connection& connection, const std::string& schema);
void dropOrderTables(Connection& connection, const std::string& schema);

// Records' places in the four orders of one schema, through prepared statements. Placing a
// record already there, or taking away a place that is not, changes nothing.
class OrderPlaces {
  public:
    OrderPlaces(Connection& connection, const std::string& schema);
    void place(std::int64_t id, const OrderKeys& keys);
    void remove(std::int64_t id, const OrderKeys& keys);

  private:
    void run(std::vector<Statement>& statements, std::int64_t id, const OrderKeys& keys);
    std::vector<Statement> inserts_, deletes_;
};

// Makes the keys of the records from row id `first` on into temp.SortKeysMade, a step of
// records at a time, and (Words::Indexed) indexes their words in the word index of `schema`
// (Words.h), telling `progress` how far it is (0 to 80).
enum class Words { Indexed, Later };
void makeKeys(Connection& connection, const std::string& schema, std::int64_t first,
              const std::function<void(int)>& progress, Words words = Words::Indexed);

// Writes the keys made into each order of `schema`, and lets them go. Packed, an order that
// was empty is written into full pages (smaller, slower).
enum class Packing { Packed, InOrder };
void writeMadeKeys(Connection& connection, const std::string& schema, Packing packing);

}  // namespace db::catalogue

#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "catalogue/Views.h"
#include "sqlite/Connection.h"

// The tables of the four orders (see data/sortkeys.sql): how they are made, and how records'
// places are written into them, one by one or many at once. SortKeys decides when.
namespace db::catalogue {

// Keys are made this many records at a time, so a long run can tell how far it is.
inline constexpr std::int64_t KeysPerStep = 20000;

// A record's sort keys: artist, title, category, format.
using OrderKeys = std::array<std::string, 4>;
OrderKeys keysOf(const RecordReader::Texts& texts);

// The first column of the first row a statement gives, as an integer (0 for none or Null).
std::int64_t integerOf(Connection& connection, const std::string& sql,
                       const std::vector<Value>& params = {});

// Makes `table` ("main.ArtistOrder", "temp.X") with the shape of a view's order.
void createOrderTable(Connection& connection, const View& view, const std::string& table);
// The four order tables of `schema` ("main", "temp") gone, or made anew and empty.
void dropOrderTables(Connection& connection, const std::string& schema);
void makeEmptyOrderTables(Connection& connection, const std::string& schema);

// Records' places in the four orders of one schema ("main", or "temp" for orders of the
// session), through prepared statements.
class OrderPlaces {
  public:
    OrderPlaces(Connection& connection, const std::string& schema);
    void place(std::int64_t id, const OrderKeys& keys);
    void remove(std::int64_t id, const OrderKeys& keys);
    // Whether the record has its place, these keys, in every order.
    bool holds(std::int64_t id, const OrderKeys& keys);

  private:
    static void bind(Statement& statement, const View& view, std::int64_t id,
                     const OrderKeys& keys);
    std::vector<Statement> inserts_, deletes_, lookups_;
};

// Makes the keys of the records from row id `first` on into temp.SortKeysMade, a step of
// records at a time, telling `progress` how far it is (0 to 80).
void makeKeys(Connection& connection, std::int64_t first, const std::function<void(int)>& progress);

// Writes the keys made into each order of `schema`, and lets them go. Packed: an order that
// was empty is written into full pages (smaller, slower).
enum class Packing { Packed, InOrder };
void writeMadeKeys(Connection& connection, const std::string& schema, Packing packing);

}  // namespace db::catalogue

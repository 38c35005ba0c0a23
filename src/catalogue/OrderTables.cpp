#include "catalogue/OrderTables.h"

#include <limits>

#include "catalogue/Collation.h"
#include "sqlite/SqlText.h"

namespace db::catalogue {
namespace {

const std::array<std::string_view, 4> Texts = {"Artist", "Title", "Category", "Format"};

std::size_t textIndex(std::string_view text) {
    for (std::size_t i = 0; i < Texts.size(); ++i) {
        if (Texts[i] == text) {
            return i;
        }
    }
    return 0;
}

template <typename Each>
void forEachText(const View& view, Each each) {
    for (std::string_view text : view.texts) {
        if (!text.empty()) {
            each(text);
        }
    }
}

}  // namespace

OrderKeys keysOf(const RecordReader::Texts& texts) {
    OrderKeys keys;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto& text = texts[i];
        keys[i] = collation::sortKey(text ? std::optional<std::string_view>(*text) : std::nullopt);
    }
    return keys;
}

std::int64_t integerOf(Connection& connection, const std::string& sql,
                       const std::vector<Value>& params) {
    Statement statement(connection, sql);
    statement.bindAll(params);
    return statement.step() ? statement.integerColumn(0) : 0;
}

void createOrderTable(Connection& connection, const View& view, const std::string& table) {
    std::string columns, key;
    forEachText(view, [&](std::string_view text) {
        columns += std::string(text) + "Key BLOB NOT NULL, ";
        key += std::string(text) + "Key, ";
    });
    connection.execute("CREATE TABLE " + table + " (" + columns +
                       "Id INTEGER NOT NULL, PRIMARY KEY (" + key + "Id)) WITHOUT ROWID");
}

void dropOrderTables(Connection& connection, const std::string& schema) {
    for (const View& view : views()) {
        connection.execute("DROP TABLE IF EXISTS " + schema + "." +
                           quoted(std::string(view.table)));
    }
}

void makeEmptyOrderTables(Connection& connection, const std::string& schema) {
    dropOrderTables(connection, schema);
    for (const View& view : views()) {
        createOrderTable(connection, view, schema + "." + quoted(std::string(view.table)));
    }
}

OrderPlaces::OrderPlaces(Connection& connection, const std::string& schema) {
    for (const View& view : views()) {
        std::string columns, marks, match;
        forEachText(view, [&](std::string_view text) {
            columns += std::string(text) + "Key, ";
            marks += "?, ";
            match += std::string(text) + "Key = ? AND ";
        });
        const std::string table = schema + "." + quoted(std::string(view.table));
        inserts_.emplace_back(connection, "INSERT OR IGNORE INTO " + table + " (" + columns +
                                              "Id) VALUES (" + marks + "?)");
        deletes_.emplace_back(connection, "DELETE FROM " + table + " WHERE " + match + "Id = ?");
        lookups_.emplace_back(
            connection, "SELECT EXISTS (SELECT 1 FROM " + table + " WHERE " + match + "Id = ?)");
    }
}

void OrderPlaces::bind(Statement& statement, const View& view, std::int64_t id,
                       const OrderKeys& keys) {
    int column = 0;
    forEachText(
        view, [&](std::string_view text) { statement.bindBlob(++column, keys[textIndex(text)]); });
    statement.bind(column + 1, Value(id));
}

void OrderPlaces::place(std::int64_t id, const OrderKeys& keys) {
    for (std::size_t v = 0; v < inserts_.size(); ++v) {
        bind(inserts_[v], views()[v], id, keys);
        inserts_[v].step();
        inserts_[v].reset();
    }
}

void OrderPlaces::remove(std::int64_t id, const OrderKeys& keys) {
    for (std::size_t v = 0; v < deletes_.size(); ++v) {
        bind(deletes_[v], views()[v], id, keys);
        deletes_[v].step();
        deletes_[v].reset();
    }
}

bool OrderPlaces::holds(std::int64_t id, const OrderKeys& keys) {
    for (std::size_t v = 0; v < lookups_.size(); ++v) {
        bind(lookups_[v], views()[v], id, keys);
        const bool placed = lookups_[v].step() && lookups_[v].integerColumn(0) != 0;
        lookups_[v].reset();
        if (!placed) {
            return false;
        }
    }
    return true;
}

void makeKeys(Connection& connection, std::int64_t first,
              const std::function<void(int)>& progress) {
    connection.execute("DROP TABLE IF EXISTS temp.SortKeysMade");
    connection.execute(
        "CREATE TEMP TABLE SortKeysMade (Id INTEGER PRIMARY KEY, ArtistKey BLOB, "
        "TitleKey BLOB, CategoryKey BLOB, FormatKey BLOB)");
    const std::int64_t total =
        integerOf(connection, "SELECT count(*) FROM main.Main WHERE rowid >= ?", {Value(first)});
    Statement step(connection,
                   "INSERT INTO temp.SortKeysMade SELECT rowid, quorvane_sort_key(Artist), "
                   "quorvane_sort_key(Title), quorvane_sort_key(Category), "
                   "quorvane_sort_key(Format) FROM main.Main WHERE rowid >= ? ORDER BY rowid "
                   "LIMIT " +
                       std::to_string(KeysPerStep));
    Statement lastMade(connection, "SELECT max(Id) FROM temp.SortKeysMade");
    std::int64_t from = first;
    for (std::int64_t made = 0; made < total; made += KeysPerStep) {
        step.bind(1, Value(from));
        while (step.step()) {
        }
        step.reset();
        lastMade.step();
        const std::int64_t last = lastMade.integerColumn(0);
        lastMade.reset();
        if (last == std::numeric_limits<std::int64_t>::max()) {
            break;  // no row id lies beyond
        }
        from = last + 1;
        if (progress && total > KeysPerStep) {  // more than one step: worth telling
            progress(static_cast<int>(80 * made / total));
        }
    }
}

// Packed, an empty order is written through a copy of the same shape, which the engine
// transfers page by page into full pages: the keys take a tenth less room than rows written
// in order, for a fifth more time.
void writeMadeKeys(Connection& connection, const std::string& schema, Packing packing) {
    for (const View& view : views()) {
        const std::string columns = view.orderBy() + ", Id";
        const std::string select =
            "SELECT " + columns + " FROM temp.SortKeysMade ORDER BY " + columns;
        const std::string table = schema + "." + quoted(std::string(view.table));
        const bool packed =
            packing == Packing::Packed &&
            integerOf(connection, "SELECT NOT EXISTS (SELECT 1 FROM " + table + ")");
        if (packed) {
            connection.execute("DROP TABLE IF EXISTS temp.SortKeysOrdered");
            createOrderTable(connection, view, "temp.SortKeysOrdered");
            connection.execute("INSERT INTO temp.SortKeysOrdered " + select);
            connection.execute("INSERT INTO " + table + " SELECT * FROM temp.SortKeysOrdered");
            connection.execute("DROP TABLE temp.SortKeysOrdered");
        } else {
            connection.execute("INSERT OR IGNORE INTO " + table + " " + select);
        }
    }
    connection.execute("DROP TABLE temp.SortKeysMade");
}

}  // namespace db::catalogue

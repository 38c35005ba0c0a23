#include "catalogue/OrderTables.h"

#include <limits>

#include "catalogue/Collation.h"
#include "catalogue/Words.h"
#include "sqlite/SqlText.h"

namespace db::catalogue {
namespace {

std::size_t columnIndex(std::string_view text) {
    for (std::size_t i = 0; i < RecordColumns.size(); ++i) {
        if (RecordColumns[i] == text) {
            return i;
        }
    }
    return 0;
}

template <typename Each>
void forEachText(const View& view, Each each) {
    for (std::string_view text : view.texts) {
        if (!text.empty()) {
            each(std::string(text));
        }
    }
}

void createOrderTable(Connection& connection, const View& view, const std::string& table) {
    std::string columns, key;
    forEachText(view, [&](const std::string& text) {
        columns += text + "Key BLOB NOT NULL, ";
        key += text + "Key, ";
    });
    connection.execute("CREATE TABLE " + table + " (" + columns +
                       "Id INTEGER NOT NULL, PRIMARY KEY (" + key + "Id)) WITHOUT ROWID");
}

}  // namespace

OrderKeys keysOf(const RecordTexts& texts) {
    OrderKeys keys;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto& text = texts[i];
        keys[i] = collation::sortKey(text ? std::optional<std::string_view>(*text) : std::nullopt);
    }
    return keys;
}

std::string orderTable(const std::string& schema, const View& view) {
    return schema + "." + quoted(std::string(view.table));
}

void dropOrderTables(Connection& connection, const std::string& schema) {
    for (const View& view : views()) {
        connection.execute("DROP TABLE IF EXISTS " + orderTable(schema, view));
    }
    dropWordIndex(connection, schema);
}

void makeEmptyOrderTables(Connection& connection, const std::string& schema) {
    dropOrderTables(connection, schema);
    for (const View& view : views()) {
        createOrderTable(connection, view, orderTable(schema, view));
    }
    makeEmptyWordIndex(connection, schema);
}

OrderPlaces::OrderPlaces(Connection& connection, const std::string& schema) {
    for (const View& view : views()) {
        std::string columns, marks, match;
        forEachText(view, [&](const std::string& text) {
            columns += text + "Key, ";
            marks += "?, ";
            match += text + "Key = ? AND ";
        });
        const std::string table = orderTable(schema, view);
        inserts_.emplace_back(connection, "INSERT OR IGNORE INTO " + table + " (" + columns +
                                              "Id) VALUES (" + marks + "?)");
        deletes_.emplace_back(connection, "DELETE FROM " + table + " WHERE " + match + "Id = ?");
    }
}

void OrderPlaces::run(std::vector<Statement>& statements, std::int64_t id, const OrderKeys& keys) {
    for (std::size_t v = 0; v < statements.size(); ++v) {
        int column = 0;
        forEachText(views()[v], [&](const std::string& text) {
            statements[v].bindBlob(++column, keys[columnIndex(text)]);
        });
        statements[v].bind(column + 1, Value(id));
        statements[v].step();
        statements[v].reset();
    }
}

void OrderPlaces::place(std::int64_t id, const OrderKeys& keys) {
    run(inserts_, id, keys);
}

void OrderPlaces::remove(std::int64_t id, const OrderKeys& keys) {
    run(deletes_, id, keys);
}

void makeKeys(Connection& connection, const std::string& schema, std::int64_t first,
              const std::function<void(int)>& progress, Words words) {
    connection.execute("DROP TABLE IF EXISTS temp.SortKeysMade");
    connection.execute("CREATE TEMP TABLE SortKeysMade (Id INTEGER PRIMARY KEY, " +
                       recordColumnList() + ")");
    // Rowid order, a step at a time: each step begins after the last row id made.
    std::string keys;
    for (std::string_view column : RecordColumns) {
        keys += ", quorvane_sort_key(" + std::string(column) + ")";
    }
    const std::int64_t total =
        connection.integerValue("SELECT count(*) FROM main.Main WHERE rowid >= ?", {first});
    Statement step(connection, "INSERT INTO temp.SortKeysMade SELECT rowid" + keys +
                                   " FROM main.Main WHERE rowid >= ? ORDER BY rowid LIMIT " +
                                   std::to_string(KeysPerStep));
    // The words go in fewer, larger steps: the index writes what a statement gathered at its
    // end, and fewer, larger writes merge in less time.
    constexpr std::int64_t KeyStepsPerWordStep = 10;
    std::int64_t from = first;
    std::int64_t wordsFrom = first;
    for (std::int64_t made = 0; made < total; made += KeysPerStep) {
        step.bind(1, Value(from));
        while (step.step()) {
        }
        step.reset();
        const bool wordStep =
            (made / KeysPerStep) % KeyStepsPerWordStep == KeyStepsPerWordStep - 1 ||
            made + KeysPerStep >= total;
        if (words == Words::Indexed && wordStep) {
            indexRecords(connection, schema, wordsFrom, KeysPerStep * KeyStepsPerWordStep);
        }
        const std::int64_t last = connection.integerValue("SELECT max(Id) FROM temp.SortKeysMade");
        if (last == std::numeric_limits<std::int64_t>::max()) {
            break;  // no row id lies beyond
        }
        from = last + 1;
        if (wordStep) {
            wordsFrom = from;
        }
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
        std::string columns;
        forEachText(view, [&](const std::string& text) { columns += text + ", "; });
        const std::string select =
            "SELECT " + columns + "Id FROM temp.SortKeysMade ORDER BY " + columns + "Id";
        const std::string table = orderTable(schema, view);
        const bool packed =
            packing == Packing::Packed &&
            connection.integerValue("SELECT NOT EXISTS (SELECT 1 FROM " + table + ")") != 0;
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

#include "catalogue/Catalogue.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "catalogue/Collation.h"
#include "catalogue/Orders.h"
#include "sqlite/DbError.h"
#include "sqlite/SqlText.h"

namespace db::catalogue {

extern const char* const SchemaSql;
extern const char* const SeedSql;
extern const char* const SampleSql;

namespace {

std::shared_ptr<void> holdOrders(Connection& connection) {
    return std::make_shared<OrderRead>(connection);
}

}  // namespace

TableSource mainTable(const View& view) {
    return {"Main",
            view.orderBy(),
            {},
            {},
            holdOrders,
            std::string(view.table),
            view.orderOfRows(),
            deleteEveryRecord};
}

TableSource everyRecord() {
    return {"Main", {}, {}, {}, {}, {}, {}, deleteEveryRecord};
}

namespace {

// The view whose order `column` leads: its table holds the column's keys in order.
const View& viewOf(const std::string& column) {
    std::string name = column;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const View* view = findViewByKey(name);
    if (!view) {
        throw DbError(err::Unspecified, "There is no order by '" + column + "'.");
    }
    return *view;
}

// An order's table joined to the records it places.
std::string orderJoinedToMain(const View& view) {
    const std::string table = quoted(std::string(view.table));
    return table + " JOIN Main ON Main.rowid = " + table + ".Id";
}

}  // namespace

TableSource mainRange(const std::string& column, const std::string& from, const std::string& to) {
    // Ordered by the column's key, and within equal keys as the column's view orders them:
    // the order of the column's table, so no sorting is needed.
    const View& view = viewOf(column);
    TableSource source = mainTable(view);
    const Match match = keyRange(column, from, to);
    source.where = match.where;
    source.params = match.params;
    return source;
}

TableSource mainWhere(const View& view, const Match& condition) {
    TableSource source = mainTable(view);
    source.orderBy = view.orderOfRows();
    source.orderTable.clear();
    source.where = condition.where;
    source.params = condition.params;
    return source;
}

Match keyRange(const std::string& column, const std::string& from, const std::string& to) {
    const std::string key = quoted(column + "Key");
    Match match{key + " >= CAST(? AS BLOB)",
                {Value(collation::letterKey(from))},
                std::string(viewOf(column).table)};
    if (const auto above = collation::aboveKeysBeginningWith(collation::letterKey(to))) {
        match.where += " AND " + key + " < CAST(? AS BLOB)";
        match.params.emplace_back(*above);
    }
    return match;
}

Match beginsWith(const std::string& column, const std::string& text) {
    return keyRange(column, text, text);
}

// A key of the column is below every text whose letters come after `text`'s once it is
// followed by 02: its letters, then the level separator 01, then the accents.
Match comparedByLetters(const std::string& column, std::string_view op, const std::string& text) {
    const std::string key = quoted(column + "Key");
    const std::string letters = collation::letterKey(text);
    const std::string same = letters + '\x01', after = letters + '\x02';
    Match range;
    const auto bound = [&](const char* comparison, const std::string& value) {
        range.where += (range.where.empty() ? "" : " AND ") + key + comparison + "CAST(? AS BLOB)";
        range.params.emplace_back(value);
    };
    if (op == "STARTSWITH") {
        range = beginsWith(column, text);
    } else if (op == "<") {
        bound(" < ", letters);
    } else if (op == ">=") {
        bound(" >= ", letters);
    } else if (op == "<=") {
        bound(" < ", after);
    } else if (op == ">") {
        bound(" >= ", after);
    } else {  // = and <>
        bound(" >= ", same);
        bound(" < ", after);
    }
    return {"Main.rowid " + std::string(op == "<>" ? "NOT IN" : "IN") + " (SELECT Id FROM " +
                quoted(std::string(viewOf(column).table)) + " WHERE " + range.where + ")",
            range.params};
}

std::string lookupColumn(Lookup which) {
    switch (which) {
        case Lookup::Artist:
            return "Artist";
        case Lookup::Category:
            return "Category";
        case Lookup::Format:
            return "Format";
    }
    return {};
}

int lookupWidth(Lookup which) {
    switch (which) {
        case Lookup::Artist:
            return 30;
        case Lookup::Category:
            return 5;
        case Lookup::Format:
            return 15;
    }
    return 0;
}

// In the order the rows were added: the lists show them so, and keep their places.
TableSource lookupTable(Lookup which) {
    return {lookupColumn(which), "rowid", {}, {}};
}

void rankByColumn(Connection& connection, const std::string& column, const RankRow& row) {
    const OrderRead read(connection);
    const std::string key = quoted(column + "Key");
    Statement records(connection, "SELECT Id, " + key + " FROM " +
                                      quoted(std::string(viewOf(column).table)) + " ORDER BY " +
                                      key);
    std::string previous;
    std::int64_t rank = -1;
    while (records.step()) {
        const std::string_view current = records.textColumn(1).value_or("");
        if (rank < 0 || current != previous) {
            ++rank;
            previous = current;
        }
        row(records.integerColumn(0), rank);
    }
}

void textsThatMayBeNumbers(Connection& connection, const std::string& column, const TextRow& row) {
    const OrderRead read(connection);
    Statement records(connection, "SELECT Main.rowid, Main." + quoted(column) + " FROM " +
                                      orderJoinedToMain(viewOf(column)) + " WHERE " +
                                      quoted(column + "Key") + " < CAST(? AS BLOB)");
    records.bind(1, Value(collation::aboveKeysOfNumbers()));
    while (records.step()) {
        row(records.integerColumn(0), records.textColumn(1));
    }
}

void tally(Connection& connection, const std::string& column, const TallyRow& row) {
    groupedCounts(connection, column, {}, row);
}

void groupedCounts(Connection& connection, const std::string& column, const Match& which,
                   const TallyRow& row) {
    const OrderRead read(connection);
    const View& view = viewOf(column);
    const std::string key = quoted(column + "Key");
    // Every record counts in its group, the group of Nulls too. The engine groups by the
    // whole key, in key order through the column's order (its keys alone when every record
    // counts); neighbours that differ only in case are one group here. A group is named as
    // its first record writes it, read when the group is told.
    const std::string from = which.where.empty()
                                 ? quoted(std::string(view.table))
                                 : orderJoinedToMain(view) + " WHERE " + which.where;
    Statement groups(connection, "SELECT " + key + ", count(*), min(" +
                                     quoted(std::string(view.table)) + ".Id) FROM " + from +
                                     " GROUP BY " + key + " ORDER BY " + key);
    groups.bindAll(which.params);
    Statement text(connection, "SELECT " + quoted(column) + " FROM Main WHERE rowid = ?");
    const auto nameOf = [&](std::int64_t id) {
        text.bind(1, Value(id));
        std::optional<std::string> name;
        if (text.step()) {
            if (const auto value = text.textColumn(0)) {
                name = std::string(*value);
            }
        }
        text.reset();
        return name;
    };
    std::string groupKey;
    std::int64_t count = 0, commonest = 0, namedBy = 0;
    bool any = false;
    const auto tell = [&] {
        const auto name = nameOf(namedBy);
        row(name ? std::optional<std::string_view>(*name) : std::nullopt, count);
    };
    while (groups.step()) {
        const auto keyBytes = groups.textColumn(0).value_or("");
        const std::int64_t records = groups.integerColumn(1);
        if (any && collation::withoutCase(keyBytes) == groupKey) {
            count += records;
            if (records > commonest) {  // named as most of its records write it
                commonest = records;
                namedBy = groups.integerColumn(2);
            }
            continue;
        }
        if (any) {
            tell();
        }
        any = true;
        groupKey = std::string(collation::withoutCase(keyBytes));
        count = commonest = records;
        namedBy = groups.integerColumn(2);
    }
    if (any) {
        tell();
    }
}

void deleteLookupValue(Connection& connection, Lookup which, const std::string& value) {
    const std::string column = quoted(lookupColumn(which));
    connection.execute("DELETE FROM " + column + " WHERE quorvane_same_name(" + column + ", ?)",
                       {value});
}

TableSource reportTitleTable() {
    return {"ReportTitle", "rowid", {}, {}};
}

void openOption(Recordset& options, Connection& connection, int key) {
    options.openQuery(connection, "SELECT option, optValue FROM Options WHERE option = ?", {key});
}

void writeOption(Connection& connection, int key, bool on) {
    connection.execute("UPDATE Options SET optValue = ? WHERE option = ?",
                       {Value(on ? "-1" : "0"), Value(key)});
}

void makeCatalogue(const std::string& path, bool withSample) {
    std::remove(path.c_str());
    std::remove((path + "-journal").c_str());
    Connection connection;
    connection.create(path);
    connection.executeScript("PRAGMA journal_mode=DELETE");
    Transaction transaction(connection);
    connection.executeScript(SchemaSql);
    connection.executeScript(SeedSql);
    if (withSample) {
        connection.executeScript(SampleSql);
    }
    remakeOrders(connection);
    transaction.commit();
}

}  // namespace db::catalogue

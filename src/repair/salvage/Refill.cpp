#include "repair/salvage/Refill.h"

#include <set>

#include "catalogue/Orders.h"
#include "catalogue/Views.h"
#include "sqlite/Connection.h"
#include "sqlite/DbError.h"

namespace db::salvage {
namespace {

// The recovery's table for rows it could not tie to a table: rootpgno, pgno, nfield, id,
// then one column c0, c1, ... per field of the widest row it found.
constexpr const char* LostAndFound = "lost_and_found";

std::set<std::string> tablesOf(Connection& connection) {
    std::set<std::string> tables;
    Statement list(connection, "SELECT name FROM salvaged.sqlite_schema WHERE type = 'table'");
    while (list.step()) {
        tables.insert(list.column(0).text().value_or(""));
    }
    return tables;
}

bool hasColumn(Connection& connection, const std::string& table, const std::string& column) {
    Statement find(connection,
                   "SELECT 1 FROM pragma_table_info(?, 'salvaged') WHERE name = ? COLLATE NOCASE");
    find.bind(1, Value(table)).bind(2, Value(column));
    return find.step();
}

// Records the recovery could not place: a cell of a table's leaf page (it has a row id)
// with four fields (Main's, or Main's of a catalogue that kept its keys in it, eight) can only
// be Main's: no other table has that many columns. Their root page is where the orphaned part
// of Main begins, not Main's own, so it does not pick them out.
void addLostRecords(Connection& connection, const std::set<std::string>& tables) {
    if (!tables.contains(LostAndFound) || !hasColumn(connection, LostAndFound, "c3")) {
        return;
    }
    connection.execute("INSERT OR IGNORE INTO main.Main (rowid, " + recordColumnList() +
                       ") SELECT id, c0, c1, c2, c3 FROM salvaged.lost_and_found "
                       "WHERE nfield IN (4, 8) AND id IS NOT NULL");
}

void copyLists(Connection& connection, const std::set<std::string>& tables) {
    for (const char* name : {"Artist", "Category", "Format"}) {
        const std::string list = name;
        if (tables.contains(list)) {
            connection.execute("DELETE FROM main." + list);
            connection.execute("INSERT INTO main." + list + " (" + list + ") SELECT " + list +
                               " FROM salvaged." + list);
        }
    }
    // The report always has a title: the fresh one stays when none was recovered.
    if (tables.contains("ReportTitle") &&
        connection.integerValue("SELECT count(*) FROM salvaged.ReportTitle") > 0) {
        connection.execute("DELETE FROM main.ReportTitle");
        connection.execute(
            "INSERT INTO main.ReportTitle (Title) SELECT Title FROM "
            "salvaged.ReportTitle");
    }
    if (tables.contains("Options")) {
        connection.execute(
            "DELETE FROM main.Options WHERE option IN (SELECT option FROM salvaged.Options)");
        connection.execute(
            "INSERT INTO main.Options (option, optValue) SELECT option, optValue FROM "
            "salvaged.Options WHERE option IS NOT NULL");
    }
}

bool anyCatalogueTable(const std::set<std::string>& tables) {
    for (const char* name : {"Main", "Artist", "Category", "Format", "ReportTitle", "Options"}) {
        if (tables.contains(name)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::int64_t refill(const std::string& catalogue, const std::string& recovered) {
    Connection connection;
    connection.open(catalogue);
    connection.execute("ATTACH DATABASE ? AS salvaged", {Value(recovered)});
    bool found = false;
    {
        Transaction transaction(connection);
        const std::set<std::string> tables = tablesOf(connection);
        found = anyCatalogueTable(tables);
        // The orders are made again, every key at once, when the catalogue is next opened.
        catalogue::forgetOrders(connection);
        if (tables.contains("Main")) {
            connection.execute("INSERT INTO main.Main (rowid, " + recordColumnList() +
                               ") SELECT rowid, " + recordColumnList() + " FROM salvaged.Main");
        }
        addLostRecords(connection, tables);
        copyLists(connection, tables);
        transaction.commit();
    }
    connection.execute("DETACH DATABASE salvaged");
    const std::int64_t saved = connection.integerValue("SELECT count(*) FROM Main");
    if (!found && saved == 0) {
        throw DbError(err::Unspecified,
                      "SQLite's recovery found no table and no record of the catalogue.");
    }
    Statement check(connection, "PRAGMA quick_check");
    if (!check.step() || check.column(0).text() != "ok") {
        throw DbError(err::Unspecified, "The salvaged catalogue did not pass the integrity check.");
    }
    return saved;
}

}  // namespace db::salvage

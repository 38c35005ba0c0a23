#include "catalogue/ImportedRecords.h"

#include <sqlite3.h>

#include <cstring>

#include "catalogue/Catalogue.h"
#include "catalogue/Hashing.h"

namespace db::catalogue {
namespace {

void digest(sqlite3_context* context, int count, sqlite3_value** values) {
    std::uint64_t hash = 0x6A09E667F3BCC908ULL;
    for (int i = 0; i < count; ++i) {
        const int type = sqlite3_value_type(values[i]);
        hash = spread(hash ^ static_cast<std::uint64_t>(type));
        const auto* bytes = static_cast<const unsigned char*>(sqlite3_value_blob(values[i]));
        const int size = sqlite3_value_bytes(values[i]);
        for (int at = 0; at < size; at += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes + at, static_cast<std::size_t>(std::min(8, size - at)));
            hash = spread(hash ^ word) + 0x9E3779B97F4A7C15ULL;
        }
        hash = spread(hash ^ static_cast<std::uint64_t>(size));
    }
    sqlite3_result_int64(context, static_cast<sqlite3_int64>(hash));
}

void makeTables(Connection& connection) {
    connection.execute(
        "CREATE TABLE IF NOT EXISTS temp.ImportWritten (Step INTEGER NOT NULL, Id INTEGER NOT "
        "NULL, Digest INTEGER NOT NULL, PRIMARY KEY (Step, Id)) WITHOUT ROWID");
    connection.execute(
        "CREATE TABLE IF NOT EXISTS temp.ImportUndone (Step INTEGER NOT NULL, Id "
        "INTEGER NOT NULL, " +
        recordColumnList() + ", PRIMARY KEY (Step, Id)) WITHOUT ROWID");
}

const std::string Digest = "quorvane_digest(Artist, Title, Category, Format)";

}  // namespace

void registerDigestFunction(sqlite3* handle) {
    sqlite3_create_function(handle, "quorvane_digest", 4,
                            SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr, &digest,
                            nullptr, nullptr);
}

ImportedRecords noteImported(Connection& connection, std::int64_t first, std::int64_t last) {
    makeTables(connection);
    ImportedRecords records{
        connection.integerValue("SELECT coalesce(max(Step), 0) + 1 FROM temp.ImportWritten"), first,
        last, 0};
    connection.execute("INSERT INTO temp.ImportWritten (Step, Id, Digest) SELECT ?, rowid, " +
                           Digest + " FROM main.Main WHERE rowid BETWEEN ? AND ?",
                       {Value(records.step), Value(first), Value(last)});
    records.count = connection.changes();
    return records;
}

TakenBack takeImportBack(Connection& connection, const ImportedRecords& records) {
    Savepoint unit(connection);
    const std::vector<Value> range{Value(records.step), Value(records.first), Value(records.last)};
    const std::string unchanged =
        " FROM main.Main JOIN temp.ImportWritten AS Written ON "
        "Written.Step = ?1 AND Written.Id = Main.rowid WHERE "
        "Main.rowid BETWEEN ?2 AND ?3 AND Written.Digest = " +
        Digest;
    connection.execute("DELETE FROM temp.ImportUndone WHERE Step = ?1", {range[0]});
    connection.execute("INSERT INTO temp.ImportUndone SELECT ?1, Main.rowid, " +
                           recordColumnList("Main.") + unchanged,
                       range);
    TakenBack taken;
    taken.taken = connection.changes();
    connection.execute(
        "DELETE FROM main.Main WHERE rowid IN (SELECT Id FROM temp.ImportUndone WHERE Step = ?)",
        {range[0]});
    taken.left = connection.integerValue(
        "SELECT count(*) FROM main.Main JOIN temp.ImportWritten AS Written ON Written.Step = ? "
        "AND Written.Id = Main.rowid",
        {range[0]});
    unit.release();
    return taken;
}

Revision putImportBack(Connection& connection, const ImportedRecords& records) {
    Savepoint unit(connection);
    if (connection.integerValue("SELECT EXISTS (SELECT 1 FROM temp.ImportUndone AS Undone "
                                "JOIN main.Main ON Main.rowid = Undone.Id WHERE Undone.Step = ?)",
                                {Value(records.step)}) != 0) {
        return Revision::RowTaken;
    }
    connection.execute("INSERT INTO main.Main (rowid, " + recordColumnList() + ") SELECT Id, " +
                           recordColumnList() +
                           " FROM temp.ImportUndone WHERE Step = ? ORDER BY Id",
                       {Value(records.step)});
    connection.execute("DELETE FROM temp.ImportUndone WHERE Step = ?", {Value(records.step)});
    unit.release();
    return Revision::Done;
}

void forgetImports(Connection& connection) {
    connection.execute("DROP TABLE IF EXISTS temp.ImportWritten");
    connection.execute("DROP TABLE IF EXISTS temp.ImportUndone");
}

}  // namespace db::catalogue

#include "db/SortKeys.h"

#include <array>
#include <random>
#include <string>

#include "db/Collation.h"
#include "db/DbError.h"

namespace db::catalogue {

extern const char* const SortKeysSql;

namespace {

constexpr std::int64_t RowsPerStep = 20000;
constexpr int RowsSampled = 32;

const std::array<const char*, 4> Texts = {"Artist", "Title", "Category", "Format"};

const char* const KeysToMake =
    "ArtistKey IS NULL OR TitleKey IS NULL OR CategoryKey IS NULL OR FormatKey IS NULL";

std::int64_t integerOf(Connection& connection, const std::string& sql,
                       const std::vector<Value>& params = {}) {
    Statement statement(connection, sql);
    statement.bindAll(params);
    return statement.step() ? statement.integerColumn(0) : 0;
}

bool hasKeyColumns(Connection& connection) {
    return integerOf(connection,
                     "SELECT count(*) FROM pragma_table_info('Main') WHERE name IN "
                     "('ArtistKey', 'TitleKey', 'CategoryKey', 'FormatKey')") == 4;
}

std::string storedDescription(Connection& connection) {
    if (integerOf(connection,
                  "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND "
                  "name = 'SortKeyCollation'") == 0) {
        return {};
    }
    Statement stored(connection, "SELECT Description FROM SortKeyCollation LIMIT 1");
    return stored.step() ? stored.column(0).text().value_or("") : "";
}

// Run after the key script, which makes the table.
void storeDescription(Connection& connection) {
    connection.execute("DELETE FROM SortKeyCollation");
    connection.execute("INSERT INTO SortKeyCollation (Description) VALUES (?)",
                       {Value(collation::description())});
}

bool anyKeyToMake(Connection& connection) {
    return integerOf(connection,
                     std::string("SELECT EXISTS (SELECT 1 FROM Main WHERE ") + KeysToMake + ")");
}

// Rows picked at random across the table whose made keys differ from what the collation
// makes: a tool that wrote keys of its own leaves them on every row it touched.
bool sampledKeysDiffer(Connection& connection) {
    const std::int64_t last = integerOf(connection, "SELECT max(rowid) FROM Main");
    if (last <= 0) {
        return false;
    }
    std::mt19937_64 random(static_cast<std::uint64_t>(last));
    std::uniform_int_distribution<std::int64_t> pick(1, last);
    Statement row(connection,
                  "SELECT Artist, ArtistKey, Title, TitleKey, Category, CategoryKey, Format, "
                  "FormatKey FROM Main WHERE rowid >= ? ORDER BY rowid LIMIT 1");
    for (int i = 0; i < RowsSampled; ++i) {
        row.bind(1, Value(pick(random)));
        if (row.step()) {
            for (int column = 0; column < 8; column += 2) {
                const auto key = row.textColumn(column + 1);
                if (key && *key != collation::sortKey(row.textColumn(column))) {
                    row.reset();
                    return true;
                }
            }
        }
        row.reset();
    }
    return false;
}

// Makes keys in steps of rows, telling `progress` how far it is (0 to 90: the rest is for
// what follows): every key, or only those still to be made.
void makeKeys(Connection& connection, bool every, const std::function<void(int)>& progress) {
    std::string assignments;
    for (const char* text : Texts) {
        const std::string key = std::string(text) + "Key";
        const std::string made = "quorvane_sort_key(" + std::string(text) + ")";
        assignments += (assignments.empty() ? "" : ", ") + key + " = " +
                       (every ? made : "coalesce(" + key + ", " + made + ")");
    }
    const std::string which = every ? "1" : KeysToMake;
    const std::int64_t first = integerOf(connection, "SELECT min(rowid) FROM Main WHERE " + which);
    const std::int64_t last = integerOf(connection, "SELECT max(rowid) FROM Main WHERE " + which);
    Statement step(connection, "UPDATE Main SET " + assignments +
                                   " WHERE rowid BETWEEN ? AND ? AND (" + which + ")");
    for (std::int64_t from = first; from <= last; from += RowsPerStep) {
        step.bind(1, Value(from)).bind(2, Value(from + RowsPerStep - 1));
        while (step.step()) {
        }
        step.reset();
        if (progress && last - first >= RowsPerStep) {  // more than one step: worth telling
            progress(static_cast<int>(90 * (from - first) / (last - first + 1)));
        }
    }
}

// Every key made again in one transaction: a run killed half-way leaves the file as it was,
// and the next start begins again. The view indexes are built once, after the keys.
void remakeEveryKey(Connection& connection, const std::function<void(int)>& progress) {
    Transaction transaction(connection);
    if (!hasKeyColumns(connection)) {
        for (const char* text : Texts) {
            connection.execute("ALTER TABLE Main ADD COLUMN " + std::string(text) + "Key BLOB");
        }
    }
    dropOrderIndexes(connection);
    connection.execute("DROP INDEX IF EXISTS MainKeysToMake");
    if (progress) {
        progress(0);
    }
    makeKeys(connection, true, progress);
    buildOrderIndexes(connection);
    storeDescription(connection);
    transaction.commit();
    if (progress) {
        progress(100);
    }
}

// A catalogue that cannot be written: a view of this connection, named as the table and
// shadowing it, gives each row the keys the collation makes, computed as rows are read.
void keysForTheSession(Connection& connection) {
    std::string columns = "rowid AS rowid, Artist, Title, Category, Format";
    for (const char* text : Texts) {
        const std::string made = "quorvane_sort_key(" + std::string(text) + ")";
        columns += ", " + made + " AS " + text + "Key";
    }
    connection.executeScript("CREATE TEMP VIEW IF NOT EXISTS Main AS SELECT " + columns +
                             " FROM main.Main");
}

// Each step is a statement of its own, or joins a transaction already open. Many rows to key
// (written by another tool, say) are told as every key is.
void makeMissingKeys(Connection& connection, const std::function<void(int)>& progress) {
    if (connection.isReadOnly() || !anyKeyToMake(connection)) {
        return;
    }
    bool told = false;
    try {
        makeKeys(connection, false, [&](int percent) {
            told = true;
            if (progress) {
                progress(percent);
            }
        });
    } catch (const DbError& error) {
        if (error.damaged) {
            throw;
        }
        // Another program is writing the file: the rows it has not let us key sort first
        // until a later reading keys them.
    }
    if (told && progress) {
        progress(100);
    }
}

}  // namespace

void prepareSortKeys(Connection& connection, const std::function<void(int)>& progress) {
    const bool keyed = hasKeyColumns(connection);
    const bool current = keyed && storedDescription(connection) == collation::description() &&
                         !sampledKeysDiffer(connection);
    if (connection.isReadOnly()) {
        if (!current || anyKeyToMake(connection)) {
            keysForTheSession(connection);
        }
        return;
    }
    if (!current) {
        remakeEveryKey(connection, progress);
    } else {
        makeMissingKeys(connection, progress);
    }
}

void fillMissingKeys(Connection& connection) {
    makeMissingKeys(connection, {});
}

void dropOrderIndexes(Connection& connection) {
    for (const char* index : {"MainByArtist", "MainByTitle", "MainByCategory", "MainByFormat"}) {
        connection.execute("DROP INDEX IF EXISTS " + std::string(index));
    }
}

void buildOrderIndexes(Connection& connection) {
    connection.executeScript(SortKeysSql);  // makes what is missing, keeps the rest
}

void keyNewCatalogue(Connection& connection) {
    makeKeys(connection, true, {});
    buildOrderIndexes(connection);
    storeDescription(connection);
}

}  // namespace db::catalogue

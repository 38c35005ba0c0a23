#include "catalogue/SortKeys.h"

#include <array>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "catalogue/Collation.h"
#include "catalogue/OrderTables.h"
#include "sqlite/DbError.h"
#include "sqlite/SqlText.h"

namespace db::catalogue {

extern const char* const SortKeysSql;

namespace {

constexpr int RowsSampled = 32;
// More records to place than this are placed as every record is: in one pass per order.
constexpr std::int64_t ManyNotes = 50000;

// The triggers of data/sortkeys.sql.
const std::array<const char*, 5> Triggers = {"MainAdded", "MainChanged", "MainDeleted",
                                             "MainReplacing", "MainReplacingByUpdate"};

// Whether the file has every table and trigger the orders are kept by.
bool hasOrders(Connection& connection) {
    std::string names = "'SortKeyCollation', 'SortKeysToMake'";
    for (const char* trigger : Triggers) {
        names += ", '" + std::string(trigger) + "'";
    }
    for (const View& view : views()) {
        names += ", '" + std::string(view.table) + "'";
    }
    return integerOf(connection,
                     "SELECT count(*) FROM main.sqlite_schema WHERE name IN (" + names + ")") == 11;
}

std::string storedDescription(Connection& connection) {
    Statement stored(connection, "SELECT Description FROM main.SortKeyCollation LIMIT 1");
    return stored.step() ? stored.column(0).text().value_or("") : "";
}

void storeDescription(Connection& connection) {
    connection.execute("DELETE FROM SortKeyCollation");
    connection.execute("INSERT INTO SortKeyCollation (Description) VALUES (?)",
                       {Value(collation::description())});
}

// Every record placed again in the file's orders, emptied first.
void placeEveryRecord(Connection& connection, const std::function<void(int)>& progress) {
    for (const View& view : views()) {
        connection.execute("DELETE FROM main." + quoted(std::string(view.table)));
    }
    connection.execute("DELETE FROM main.SortKeysToMake");
    makeKeys(connection, std::numeric_limits<std::int64_t>::min(), progress);
    writeMadeKeys(connection, "main", Packing::Packed);
}

// The sort keys of a catalogue older than the order tables, kept in Main: taken away.
void forgetKeysInMain(Connection& connection) {
    for (const char* index :
         {"MainByArtist", "MainByTitle", "MainByCategory", "MainByFormat", "MainKeysToMake"}) {
        connection.execute("DROP INDEX IF EXISTS main." + std::string(index));
    }
    for (const char* text : {"Artist", "Title", "Category", "Format"}) {
        const std::string key = std::string(text) + "Key";
        connection.execute("DROP TRIGGER IF EXISTS main.Main" + std::string(text) + "KeyStale");
        if (integerOf(connection, "SELECT count(*) FROM pragma_table_info('Main') WHERE name = ?",
                      {Value(key)}) > 0) {
            connection.execute("ALTER TABLE main.Main DROP COLUMN " + key);
        }
    }
}

// The orders' tables and triggers made anew, empty.
void makeOrderTables(Connection& connection) {
    for (const char* trigger : Triggers) {
        connection.execute("DROP TRIGGER IF EXISTS main." + std::string(trigger));
    }
    connection.execute("DROP TABLE IF EXISTS main.SortKeysToMake");
    makeEmptyOrderTables(connection, "main");
    connection.executeScript(SortKeysSql);
}

// Every key made again in one transaction: a run killed half-way leaves the file as it was,
// and the next start begins again. The texts are not touched.
void remakeEveryKey(Connection& connection, const std::function<void(int)>& progress) {
    Transaction transaction(connection);
    if (progress) {
        progress(0);
    }
    forgetKeysInMain(connection);
    makeOrderTables(connection);
    placeEveryRecord(connection, progress);
    storeDescription(connection);
    transaction.commit();
    if (progress) {
        progress(100);
    }
}

// A catalogue that cannot be written: tables of this connection, named as the orders and
// shadowing them, hold the orders the collation makes now.
void ordersForTheSession(Connection& connection, const std::function<void(int)>& progress) {
    makeEmptyOrderTables(connection, "temp");
    makeKeys(connection, std::numeric_limits<std::int64_t>::min(), progress);
    writeMadeKeys(connection, "temp", Packing::InOrder);
    if (progress) {
        progress(100);
    }
}

struct Note {
    std::int64_t id = 0;
    std::optional<RecordReader::Texts> placedBy;  // nothing for a record not placed before
};

std::vector<Note> readNotes(Connection& connection, std::int64_t& lastNote) {
    std::vector<Note> notes;
    Statement read(connection,
                   "SELECT rowid, Id, Placed, Artist, Title, Category, Format FROM "
                   "main.SortKeysToMake ORDER BY rowid");
    while (read.step()) {
        lastNote = read.integerColumn(0);
        Note& note = notes.emplace_back();
        note.id = read.integerColumn(1);
        if (read.integerColumn(2) != 0) {
            note.placedBy.emplace();
            for (int i = 0; i < 4; ++i) {
                if (const auto text = read.textColumn(3 + i)) {
                    (*note.placedBy)[static_cast<std::size_t>(i)] = std::string(*text);
                }
            }
        }
    }
    return notes;
}

// The noted records taken from their old places (found by the keys of the texts they were
// placed by) and placed by their texts now; a record gone stays out.
void placeNoted(Connection& connection, const std::function<void(int)>& progress) {
    const std::int64_t count = integerOf(connection, "SELECT count(*) FROM main.SortKeysToMake");
    if (count == 0) {
        return;
    }
    Savepoint unit(connection);
    if (count > ManyNotes) {
        placeEveryRecord(connection, progress);
    } else {
        std::int64_t lastNote = 0;
        const std::vector<Note> notes = readNotes(connection, lastNote);
        OrderPlaces orders(connection, "main");
        for (const Note& note : notes) {
            if (note.placedBy) {
                orders.remove(note.id, keysOf(*note.placedBy));
            }
        }
        RecordReader records(connection);
        std::unordered_set<std::int64_t> placed;  // a record noted twice is placed once
        for (std::size_t i = 0; i < notes.size(); ++i) {
            if (!placed.insert(notes[i].id).second) {
                continue;
            }
            if (const auto texts = records.read(notes[i].id)) {
                orders.place(notes[i].id, keysOf(*texts));
            }
            if (progress && count > KeysPerStep && i % KeysPerStep == 0) {
                progress(static_cast<int>(90 * static_cast<std::int64_t>(i) / count));
            }
        }
        connection.execute("DELETE FROM main.SortKeysToMake WHERE rowid <= ?", {Value(lastNote)});
    }
    unit.release();
    if (progress && count > KeysPerStep) {
        progress(100);
    }
}

// Records picked at random across the table whose places differ from what the collation
// makes: a tool that wrote keys of its own leaves them on every record it touched.
bool sampledKeysDiffer(Connection& connection) {
    const std::int64_t last = integerOf(connection, "SELECT max(rowid) FROM main.Main");
    if (last <= 0) {
        return false;
    }
    std::mt19937_64 random(static_cast<std::uint64_t>(last));
    std::uniform_int_distribution<std::int64_t> pick(1, last);
    Statement row(connection,
                  "SELECT rowid FROM main.Main WHERE rowid >= ? ORDER BY rowid LIMIT 1");
    RecordReader records(connection);
    OrderPlaces orders(connection, "main");
    for (int i = 0; i < RowsSampled; ++i) {
        row.bind(1, Value(pick(random)));
        const std::int64_t id = row.step() ? row.integerColumn(0) : 0;
        row.reset();
        const auto texts = id != 0 ? records.read(id) : std::nullopt;
        if (texts && !orders.holds(id, keysOf(*texts))) {
            return true;
        }
    }
    return false;
}

bool anyNotes(Connection& connection) {
    return integerOf(connection, "SELECT EXISTS (SELECT 1 FROM main.SortKeysToMake)") != 0;
}

// The orders this connection made for itself while the file could not be written (there
// were notes then), gone.
void dropSessionOrders(Connection& connection) {
    if (integerOf(connection, "SELECT count(*) FROM temp.sqlite_schema WHERE name = ?",
                  {Value(std::string(views()[0].table))}) == 0) {
        return;
    }
    dropOrderTables(connection, "temp");
}

// Each step is a unit of its own, or joins a transaction already open.
void placeNotedIfWritable(Connection& connection, const std::function<void(int)>& progress) {
    if (connection.isReadOnly()) {
        return;
    }
    if (!anyNotes(connection)) {
        dropSessionOrders(connection);  // the program that held the file placed them
        return;
    }
    try {
        placeNoted(connection, progress);
    } catch (const DbError& error) {
        if (!error.busy) {
            throw;
        }
        // Another program is writing the file: until it lets us place the records it wrote,
        // this connection orders every record itself, so none is missing from a view.
        ordersForTheSession(connection, progress);
        return;
    }
    dropSessionOrders(connection);
}

}  // namespace

void prepareSortKeys(Connection& connection, const std::function<void(int)>& progress) {
    const bool kept =
        hasOrders(connection) && storedDescription(connection) == collation::description();
    if (connection.isReadOnly()) {
        if (!kept || anyNotes(connection) || sampledKeysDiffer(connection)) {
            ordersForTheSession(connection, progress);
        }
        return;
    }
    if (kept) {
        placeNotedIfWritable(connection, progress);
    }
    // Records another program keeps us from placing now are not sampled: they are placed later.
    if (!kept || (!anyNotes(connection) && sampledKeysDiffer(connection))) {
        remakeEveryKey(connection, progress);
    }
}

void fillMissingKeys(Connection& connection) {
    placeNotedIfWritable(connection, {});
}

std::optional<std::int64_t> beginAddingMany(Connection& connection, std::int64_t expected) {
    const std::int64_t last =
        integerOf(connection, "SELECT coalesce(max(rowid), 0) FROM main.Main");
    if (last > std::numeric_limits<std::int64_t>::max() - std::max<std::int64_t>(expected, 1)) {
        return std::nullopt;
    }
    connection.execute("DROP TRIGGER IF EXISTS main.MainAdded");
    connection.execute("DROP TRIGGER IF EXISTS main.MainReplacing");
    return last + 1;
}

void placeAddedRecords(Connection& connection, std::int64_t firstRowId) {
    makeKeys(connection, firstRowId, {});
    writeMadeKeys(connection, "main", Packing::InOrder);  // a compaction packs them later
    connection.executeScript(SortKeysSql);                // the triggers back
}

void deleteEveryRecord(Connection& connection) {
    Savepoint unit(connection);
    connection.execute("DROP TRIGGER IF EXISTS main.MainDeleted");
    connection.execute("DELETE FROM main.Main");
    for (const View& view : views()) {
        connection.execute("DELETE FROM main." + quoted(std::string(view.table)));
    }
    connection.execute("DELETE FROM main.SortKeysToMake");
    connection.executeScript(SortKeysSql);  // the trigger back
    unit.release();
}

void keyNewCatalogue(Connection& connection) {
    makeOrderTables(connection);
    placeEveryRecord(connection, {});
    storeDescription(connection);
}

}  // namespace db::catalogue

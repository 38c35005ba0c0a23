#include "catalogue/OrderFile.h"

#include <optional>
#include <unordered_set>
#include <vector>

#include "catalogue/Collation.h"
#include "catalogue/OrderTables.h"
#include "catalogue/RecordReader.h"
#include "catalogue/Words.h"
#include "sqlite/DbError.h"
#include "sqlite/SqlText.h"

namespace db::catalogue {

extern const char* const OrdersSql;

namespace {

// More records to place than this are placed as every record is: in one pass per order.
constexpr std::int64_t ManyNotes = 50000;

// The tables of the program's own keeping that another program's write makes stale: each
// order, and the word index's note of the records that wait for it.
std::vector<std::string> keptTables() {
    std::vector<std::string> tables;
    for (const View& view : views()) {
        tables.emplace_back(view.table);
    }
    tables.emplace_back("WordsToIndex");
    return tables;
}

std::string orderNames() {
    std::string names;
    for (const View& view : views()) {
        names += ", '" + std::string(view.table) + "'";
    }
    return names;
}

// The names of the triggers the orders are kept by: those of data/orders.sql, and three on
// each kept table. Other triggers, a user's own, are left alone.
const std::vector<std::string>& fileTriggers() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> found;
        const std::string sql = OrdersSql, create = "CREATE TRIGGER IF NOT EXISTS ";
        for (auto at = sql.find(create); at != std::string::npos; at = sql.find(create, at)) {
            at += create.size();
            found.push_back(sql.substr(at, sql.find(' ', at) - at));
        }
        for (const std::string& table : keptTables()) {
            for (const char* event : {"INSERT", "UPDATE", "DELETE"}) {
                found.push_back(table + event);
            }
        }
        return found;
    }();
    return names;
}

std::string quotedList(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) {
        list += (list.empty() ? "'" : ", '") + name + "'";
    }
    return list;
}

// Every table and trigger the orders are kept by is there: looked for again only when the
// schema changed.
bool isWhole(Connection& connection, std::int64_t& wholeSchema) {
    const std::int64_t schema = connection.integerValue("PRAGMA main.schema_version");
    if (schema == wholeSchema) {
        return true;
    }
    const bool whole =
        connection.integerValue(
            "SELECT count(*) FROM main.sqlite_schema WHERE type = 'table' AND "
            "name IN ('OrderState', 'OrderNotes', 'RecordWords', 'WordsToIndex'" +
            orderNames() + ")") == 4 + static_cast<std::int64_t>(views().size()) &&
        connection.integerValue(
            "SELECT count(*) FROM main.sqlite_schema WHERE type = 'trigger' "
            "AND name IN (" +
            quotedList(fileTriggers()) + ")") == static_cast<std::int64_t>(fileTriggers().size());
    wholeSchema = whole ? schema : -1;
    return whole;
}

// The orders' state says what they were made and placed by; Main's first and last row id
// are looked up, two seeks.
void recordState(Connection& connection, std::int64_t renumbered) {
    connection.execute("DELETE FROM main.OrderState");
    connection.execute(
        "INSERT INTO main.OrderState (Collation, FirstId, LastId, Renumbered) SELECT ?, "
        "(SELECT min(rowid) FROM main.Main), (SELECT max(rowid) FROM main.Main), ?",
        {Value(collation::description()), Value(renumbered)});
}

// The catalogue's keys as builds before the order tables kept them: taken away.
void forgetOlderOrders(Connection& connection) {
    for (const char* index :
         {"MainByArtist", "MainByTitle", "MainByCategory", "MainByFormat", "MainKeysToMake"}) {
        connection.execute("DROP INDEX IF EXISTS main." + std::string(index));
    }
    for (std::string_view text : RecordColumns) {
        const std::string key = std::string(text) + "Key";
        if (connection.integerValue(
                "SELECT count(*) FROM pragma_table_info('Main', 'main') WHERE name = ?", {key})) {
            connection.execute("ALTER TABLE main.Main DROP COLUMN " + key);
        }
    }
    for (std::string_view text : RecordColumns) {
        connection.execute("DROP TRIGGER IF EXISTS main.Main" + std::string(text) + "KeyStale");
    }
    for (const char* trigger : {"MainReplacing", "MainReplacingByUpdate"}) {
        connection.execute("DROP TRIGGER IF EXISTS main." + std::string(trigger));
    }
    connection.execute("DROP TABLE IF EXISTS main.SortKeysToMake");
    connection.execute("DROP TABLE IF EXISTS main.SortKeyCollation");
}

// How many times the orders were made again untrusted, as the state says, if it can.
std::int64_t renumberings(Connection& connection) {
    try {
        return connection.integerValue("SELECT max(Renumbered) FROM main.OrderState");
    } catch (const DbError&) {
        return 0;  // no state, or one of a build before it counted
    }
}

}  // namespace

void tell(const std::function<void(int)>& progress, int percent) {
    if (progress) {
        progress(percent);
    }
}

// Any write into an order's table marks the orders stale: the program's own writes too, which
// clear the mark when they are done (holding the file meanwhile).
void makeFileTriggers(Connection& connection) {
    connection.executeScript(OrdersSql);
    for (const std::string& table : keptTables()) {
        for (const char* event : {"INSERT", "UPDATE", "DELETE"}) {
            connection.execute("CREATE TRIGGER IF NOT EXISTS main." + quoted(table + event) +
                               " AFTER " + event + " ON " + quoted(table) +
                               " BEGIN UPDATE OrderState SET Stale = 2 WHERE Stale = 0; END");
        }
    }
}

void dropFileTriggers(Connection& connection) {
    for (const std::string& trigger : fileTriggers()) {
        connection.execute("DROP TRIGGER IF EXISTS main." + quoted(trigger));
    }
}

// A note of its own, gone at once, marks every earlier one placed, so that orders following the
// notes know that some went unseen.
void markNotesPlaced(Connection& connection) {
    connection.execute("INSERT INTO main.OrderNotes (Id, Placed) VALUES (NULL, 0)");
    connection.execute("UPDATE main.OrderState SET PlacedUpTo = ?, Stale = 0",
                       {connection.lastInsertRowId()});
    connection.execute("DELETE FROM main.OrderNotes");
}

Look lookAtOrders(Connection& connection, std::int64_t& wholeSchema) {
    Look seen;
    seen.whole = isWhole(connection, wholeSchema);
    if (!seen.whole) {
        return seen;
    }
    std::optional<Statement> state;
    try {
        // Stale is 1 when Main's triggers found its row ids moved, 2 when another program
        // wrote a table of the program's keeping.
        const std::string idsMoved =
            "(FirstId IS NOT (SELECT min(rowid) FROM main.Main) OR LastId IS NOT (SELECT "
            "max(rowid) FROM main.Main))";
        state.emplace(connection, "SELECT Collation, Stale <> 0 OR " + idsMoved +
                                      ", EXISTS (SELECT 1 FROM main.OrderNotes), PlacedUpTo, "
                                      "Renumbered, Stale = 1 OR " +
                                      idsMoved + " FROM main.OrderState");
    } catch (const DbError& error) {
        if (error.busy) {
            throw;
        }
        wholeSchema = -1;  // a state of another shape: made again
        return Look{};
    }
    if (state->step()) {
        seen.ours = state->textColumn(0) == collation::description();
        seen.trusted = state->integerColumn(1) == 0;
        seen.notes = state->integerColumn(2) != 0;
        seen.placedUpTo = state->integerColumn(3);
        seen.renumbered = state->integerColumn(4);
        seen.idsKept = state->integerColumn(5) == 0;
    }
    state.reset();
    if (seen.trusted && !seen.notes && !wordIndexAgreesAtEnds(connection)) {
        seen.trusted = false;  // the index was written apart from Main: made again
    }
    return seen;
}

// A run killed half-way leaves the file as it was (one transaction).
void remakeFileOrders(Connection& connection, const std::function<void(int)>& progress,
                      std::int64_t renumbered) {
    tell(progress, 0);
    dropFileTriggers(connection);
    forgetOlderOrders(connection);
    makeEmptyOrderTables(connection, "main");
    makeKeys(connection, "main", LowestRowId, progress);
    writeMadeKeys(connection, "main", Packing::Packed);
    makeFileTriggers(connection);
    recordState(connection, renumbered);
    markNotesPlaced(connection);
    tell(progress, 100);
}

std::int64_t placeNotes(Connection& connection, const std::string& schema, std::int64_t after) {
    struct Note {
        std::int64_t id;
        std::optional<RecordTexts> placedBy;  // nothing for a record not placed before
    };
    std::vector<Note> notes;
    std::int64_t last = after;
    Statement read(connection, "SELECT Seq, Id, Placed, " + recordColumnList() +
                                   " FROM main.OrderNotes WHERE Seq > ? ORDER BY Seq");
    read.bind(1, Value(after));
    while (read.step()) {
        last = read.integerColumn(0);
        Note& note = notes.emplace_back(Note{read.integerColumn(1), std::nullopt});
        if (read.integerColumn(2) != 0) {
            note.placedBy.emplace();
            for (int i = 0; i < 4; ++i) {
                if (const auto text = read.textColumn(3 + i)) {
                    (*note.placedBy)[static_cast<std::size_t>(i)] = std::string(*text);
                }
            }
        }
    }
    OrderPlaces orders(connection, schema);
    WordPlaces words(connection, schema);
    // Records waiting for the word index (Words.h) have no entries: they get them as they are
    // when their turn comes.
    const std::int64_t indexedBelow =
        wordsWaitFrom(connection, schema).value_or(std::numeric_limits<std::int64_t>::max());
    std::unordered_set<std::int64_t> seen;
    for (const Note& note : notes) {
        if (note.placedBy) {
            orders.remove(note.id, keysOf(*note.placedBy));
        }
        // The index holds a record as its first note found it; a later note's texts were
        // never indexed (a record added, or changed twice, since the last placing).
        if (seen.insert(note.id).second && note.placedBy && note.id < indexedBelow) {
            words.remove(note.id, *note.placedBy);
        }
    }
    RecordReader records(connection);
    std::unordered_set<std::int64_t> placed;  // a record noted twice is placed once
    for (const Note& note : notes) {
        if (placed.insert(note.id).second) {
            if (const auto texts = records.read(note.id)) {
                orders.place(note.id, keysOf(*texts));
                if (note.id < indexedBelow) {
                    words.place(note.id, *texts);
                }
            }
        }
    }
    return last;
}

void bringFileTrue(Connection& connection, const Look& seen,
                   const std::function<void(int)>& progress, bool opening) {
    if (seen.whole && seen.trusted && !seen.ours && !opening) {
        return;
    }
    const std::int64_t notes =
        seen.notes ? connection.integerValue("SELECT count(*) FROM main.OrderNotes") : 0;
    if (!seen.whole || !seen.ours || !seen.trusted || notes > ManyNotes) {
        // Row ids may have moved: whoever holds some reads them again, in every copy.
        const bool renumbered = !seen.whole || !seen.idsKept;
        remakeFileOrders(connection, progress, renumberings(connection) + (renumbered ? 1 : 0));
        if (renumbered) {
            connection.rowIdsRenumbered();
        }
        return;
    }
    if (notes > 0) {
        const std::int64_t last = placeNotes(connection, "main", 0);
        connection.execute("DELETE FROM main.OrderNotes WHERE Seq <= ?", {last});
        // The orders' own triggers marked them stale as this program wrote them.
        connection.execute("UPDATE main.OrderState SET PlacedUpTo = ?, Stale = 0", {last});
    }
}

}  // namespace db::catalogue

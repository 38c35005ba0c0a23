#include "catalogue/Orders.h"

#include <any>
#include <limits>
#include <unordered_set>
#include <vector>

#include "catalogue/Collation.h"
#include "catalogue/OrderTables.h"
#include "catalogue/RecordReader.h"
#include "sqlite/DbError.h"
#include "sqlite/SqlText.h"

namespace db::catalogue {

extern const char* const OrdersSql;

namespace {

// More records to place than this are placed as every record is: in one pass per order.
constexpr std::int64_t ManyNotes = 50000;
constexpr auto Lowest = std::numeric_limits<std::int64_t>::min();

// What this connection knows of the orders between two reads.
struct Kept {
    std::int64_t dataVersion = -1;  // the file as it was when the orders were last true...
    std::int64_t changes = -1;      // ... after this connection's own writes
    std::int64_t wholeSchema = -1;  // the schema version last found with every table there
    std::int64_t followedUpTo = 0;  // the last note the session's own orders follow
    bool retry = false;             // the file was held when records were to be placed
    bool working = false;           // bringing them true (a progress step may read them)
    std::function<void(int)> progress;
};

Kept& kept(Connection& connection) {
    std::any& any = connection.kept();
    if (!any.has_value()) {
        any = Kept{};
    }
    return std::any_cast<Kept&>(any);
}

void tell(const std::function<void(int)>& progress, int percent) {
    if (progress) {
        progress(percent);
    }
}

// ---- The file's tables and triggers -------------------------------------------------------

std::string orderNames() {
    std::string names;
    for (const View& view : views()) {
        names += ", '" + std::string(view.table) + "'";
    }
    return names;
}

// Any write into an order's table marks the orders stale: the program's own writes too, which
// clear the mark when they are done (holding the file meanwhile).
void makeFileTriggers(Connection& connection) {
    connection.executeScript(OrdersSql);
    for (const View& view : views()) {
        const std::string table(view.table);
        for (const char* event : {"INSERT", "UPDATE", "DELETE"}) {
            connection.execute("CREATE TRIGGER IF NOT EXISTS main." + quoted(table + event) +
                               " AFTER " + event + " ON " + quoted(table) +
                               " BEGIN UPDATE OrderState SET Stale = 1; END");
        }
    }
}

std::vector<std::string> fileTriggers(Connection& connection) {
    std::vector<std::string> names;
    Statement list(connection,
                   "SELECT name FROM main.sqlite_schema WHERE type = 'trigger' AND tbl_name IN "
                   "('Main'" +
                       orderNames() + ")");
    while (list.step()) {
        names.emplace_back(list.textColumn(0).value_or(""));
    }
    return names;
}

void dropFileTriggers(Connection& connection) {
    for (const std::string& trigger : fileTriggers(connection)) {
        connection.execute("DROP TRIGGER main." + quoted(trigger));
    }
}

std::int64_t triggersExpected() {
    static const std::int64_t count = [] {
        std::int64_t found = 0;
        const std::string sql = OrdersSql;
        for (auto at = sql.find("CREATE TRIGGER"); at != std::string::npos;
             at = sql.find("CREATE TRIGGER", at + 1)) {
            ++found;
        }
        return found + 3 * static_cast<std::int64_t>(views().size());
    }();
    return count;
}

// Every table and trigger the orders are kept by is there: looked for again only when the
// schema changed.
bool isWhole(Connection& connection, Kept& kept) {
    const std::int64_t schema = connection.integerValue("PRAGMA main.schema_version");
    if (schema == kept.wholeSchema) {
        return true;
    }
    const bool whole =
        connection.integerValue(
            "SELECT count(*) FROM main.sqlite_schema WHERE type = 'table' AND "
            "name IN ('OrderState', 'OrderNotes'" +
            orderNames() + ")") == 2 + static_cast<std::int64_t>(views().size()) &&
        static_cast<std::int64_t>(fileTriggers(connection).size()) == triggersExpected();
    kept.wholeSchema = whole ? schema : -1;
    return whole;
}

// The orders' state says what they were made and placed by; Main's first and last row id
// are looked up, two seeks.
void recordState(Connection& connection) {
    connection.execute("DELETE FROM main.OrderState");
    connection.execute(
        "INSERT INTO main.OrderState (Collation, FirstId, LastId) SELECT ?, "
        "(SELECT min(rowid) FROM main.Main), (SELECT max(rowid) FROM main.Main)",
        {Value(collation::description())});
}

// Every record noted so far is in its places (or every place was made again): a note of its
// own, gone at once, marks every earlier one placed, so that orders following the notes know
// that some went unseen.
void markNotesPlaced(Connection& connection) {
    connection.execute("INSERT INTO main.OrderNotes (Id, Placed) VALUES (NULL, 0)");
    connection.execute("UPDATE main.OrderState SET PlacedUpTo = ?, Stale = 0",
                       {connection.lastInsertRowId()});
    connection.execute("DELETE FROM main.OrderNotes");
}

struct Look {
    bool whole = false;
    bool ours = false;            // keys of this program's collation
    bool trusted = false;         // nobody else wrote the orders, nor renumbered Main
    bool notes = false;           // records to place
    std::int64_t placedUpTo = 0;  // the last note placed
};

Look look(Connection& connection, Kept& kept) {
    Look seen;
    seen.whole = isWhole(connection, kept);
    if (!seen.whole) {
        return seen;
    }
    Statement state(connection,
                    "SELECT Collation, Stale OR FirstId IS NOT (SELECT min(rowid) FROM main.Main) "
                    "OR LastId IS NOT (SELECT max(rowid) FROM main.Main), EXISTS (SELECT 1 FROM "
                    "main.OrderNotes), PlacedUpTo FROM main.OrderState");
    if (state.step()) {
        seen.ours = state.textColumn(0) == collation::description();
        seen.trusted = state.integerColumn(1) == 0;
        seen.notes = state.integerColumn(2) != 0;
        seen.placedUpTo = state.integerColumn(3);
    }
    return seen;
}

// ---- Making and placing -------------------------------------------------------------------

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
    connection.execute("DROP TABLE IF EXISTS main.SortKeysToMake");
    connection.execute("DROP TABLE IF EXISTS main.SortKeyCollation");
}

// Every key made again in the file, in the caller's transaction: a run killed half-way leaves
// the file as it was. The texts are not touched.
void remakeFileOrders(Connection& connection, const std::function<void(int)>& progress) {
    tell(progress, 0);
    dropFileTriggers(connection);
    forgetOlderOrders(connection);
    makeEmptyOrderTables(connection, "main");
    makeKeys(connection, Lowest, progress);
    writeMadeKeys(connection, "main", Packing::Packed);
    makeFileTriggers(connection);
    recordState(connection);
    markNotesPlaced(connection);
    tell(progress, 100);
}

// The session's own orders, made from Main as it is now.
void makeSessionOrders(Connection& connection, const std::function<void(int)>& progress) {
    makeEmptyOrderTables(connection, "temp");
    makeKeys(connection, Lowest, progress);
    writeMadeKeys(connection, "temp", Packing::InOrder);
    tell(progress, 100);
}

// The records noted after note `after` taken from their old places in the orders of `schema`
// (found by the keys of the texts they were placed by) and placed by their texts now; a record
// gone stays out. The number of the last note placed (`after` when there is none).
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
    for (const Note& note : notes) {
        if (note.placedBy) {
            orders.remove(note.id, keysOf(*note.placedBy));
        }
    }
    RecordReader records(connection);
    std::unordered_set<std::int64_t> placed;  // a record noted twice is placed once
    for (const Note& note : notes) {
        if (placed.insert(note.id).second) {
            if (const auto texts = records.read(note.id)) {
                orders.place(note.id, keysOf(*texts));
            }
        }
    }
    return last;
}

// The file's orders true to Main, in a write transaction: the records noted placed, or, when
// there are many or the orders cannot be trusted, every key made again. Keys of another
// collation that can be trusted are left to the program that made them, but at an opening.
void bringFileTrue(Connection& connection, const Look& seen, const Kept& kept, bool opening) {
    if (seen.whole && seen.trusted && !seen.ours && !opening) {
        return;
    }
    const std::int64_t notes =
        seen.notes ? connection.integerValue("SELECT count(*) FROM main.OrderNotes") : 0;
    if (!seen.whole || !seen.ours || !seen.trusted || notes > ManyNotes) {
        remakeFileOrders(connection, kept.progress);
        if (seen.whole && !seen.trusted) {
            connection.rowIdsRenumbered();  // or moved: whoever holds row ids reads them again
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

bool hasSessionOrders(Connection& connection) {
    return connection.integerValue("SELECT count(*) FROM temp.sqlite_schema WHERE name = ?",
                                   {std::string(views()[0].table)}) > 0;
}

// This session reads orders of its own: made once, then following the records noted. Made
// again when notes went before it saw them (another program placed them), or when the file's
// orders cannot be trusted (its row ids may have been renumbered).
void followInSession(Connection& connection, const Look& seen, Kept& kept) {
    const bool made = hasSessionOrders(connection);
    if (made && seen.whole && seen.trusted && seen.placedUpTo <= kept.followedUpTo) {
        kept.followedUpTo = placeNotes(connection, "temp", kept.followedUpTo);
        return;
    }
    makeSessionOrders(connection, kept.progress);
    kept.followedUpTo =
        seen.whole ? std::max(seen.placedUpTo,
                              connection.integerValue("SELECT max(Seq) FROM main.OrderNotes"))
                   : 0;
    if (made && !seen.trusted) {
        connection.rowIdsRenumbered();
    }
}

// The file's own orders are read: the session's, if any, let go.
void useFileOrders(Connection& connection) {
    if (hasSessionOrders(connection)) {
        dropOrderTables(connection, "temp");
    }
}

// Brings the file's orders true in a transaction of their own (`began`: the read's, ended
// first and begun again after), or in the caller's. At a read, a file another program holds
// is not waited for. False when it is held.
bool placeInFile(Connection& connection, Kept& kept, bool opening, bool began) {
    const NoWaiting quick(connection, !opening);
    try {
        if (!began) {
            Savepoint unit(connection);
            bringFileTrue(connection, look(connection, kept), kept, opening);
            unit.release();
            return true;
        }
        connection.execute("COMMIT");
        connection.execute("BEGIN IMMEDIATE");
        bringFileTrue(connection, look(connection, kept), kept, opening);
        connection.execute("COMMIT");
        connection.execute("BEGIN");
        return true;
    } catch (const DbError& error) {
        if (!error.busy) {
            throw;
        }
        if (began) {
            if (connection.inTransaction()) {
                connection.execute("ROLLBACK");
            }
            connection.execute("BEGIN");
        }
        return false;
    }
}

// Brings the orders this connection reads true to Main, and leaves it in a transaction (one
// `began` here, or the caller's) in which they are: the last look at them is in the read's
// own transaction, so nothing another program commits comes between. At an opening the file
// takes this program's collation; later a file whose keys are another's is left to that
// program.
void bringTrue(Connection& connection, bool opening, bool began) {
    Kept& kept = catalogue::kept(connection);
    if (kept.working || (!opening && !kept.retry && connection.dataVersion() == kept.dataVersion &&
                         connection.totalChanges() == kept.changes)) {
        return;
    }
    kept.working = true;
    struct Done {
        Kept& kept;
        ~Done() { kept.working = false; }
    } done{kept};
    for (int attempt = 0;; ++attempt) {
        const Look seen = look(connection, kept);
        const bool fileTrue = seen.whole && seen.ours && seen.trusted && !seen.notes;
        const bool mayWrite =
            !connection.isReadOnly() && (opening || seen.ours || !seen.whole || !seen.trusted);
        kept.retry = false;
        if (fileTrue) {
            useFileOrders(connection);
        } else if (!mayWrite || attempt == 2) {  // another program keeps writing: later
            followInSession(connection, seen, kept);
        } else if (!placeInFile(connection, kept, opening, began)) {
            followInSession(connection, look(connection, kept), kept);
            kept.retry = true;  // the file is held: placed at a later read
        } else if (began) {
            continue;  // looked at again in the read's own transaction
        } else {
            useFileOrders(connection);
        }
        break;
    }
    kept.dataVersion = connection.dataVersion();
    kept.changes = connection.totalChanges();
}

// Row ids of Main and of each order, hashed into one number each whatever their order: equal
// when each order holds every row id of Main once and no other (a difference goes unseen with
// a chance of one in 2^64).
std::uint64_t idsHash(Connection& connection, const std::string& sql) {
    std::uint64_t sum = 0;
    Statement ids(connection, sql);
    while (ids.step()) {
        auto x = static_cast<std::uint64_t>(ids.integerColumn(0)) + 0x9E3779B97F4A7C15ULL;
        x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
        x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
        sum += x ^ (x >> 31);
    }
    return sum;
}

}  // namespace

OrderRead::OrderRead(Connection& connection) : OrderRead(connection, false) {}

OrderRead::OrderRead(Connection& connection, bool opening)
    : connection_(connection), began_(!connection.inTransaction()) {
    if (began_) {
        connection_.execute("BEGIN");
    }
    try {
        bringTrue(connection_, opening, began_);
    } catch (...) {
        end(false);
        throw;
    }
}

OrderRead::~OrderRead() {
    end(true);
}

void OrderRead::end(bool keep) noexcept {
    if (!began_ || !connection_.isOpen() || !connection_.inTransaction()) {
        return;
    }
    try {
        connection_.execute(keep ? "COMMIT" : "ROLLBACK");
    } catch (const DbError&) {
        try {
            connection_.execute("ROLLBACK");  // the places are made again at the next read
        } catch (const DbError&) {
            // The engine ended the transaction already.
        }
        kept(connection_).dataVersion = -1;
    }
}

void prepareOrders(Connection& connection, const std::function<void(int)>& progress) {
    kept(connection).progress = progress;
    OrderRead opening(connection, true);
}

std::optional<std::int64_t> beginAddingMany(Connection& connection, std::int64_t expected) {
    { OrderRead read(connection); }
    const std::int64_t last = connection.integerValue("SELECT coalesce(max(rowid), 0) FROM Main");
    if (hasSessionOrders(connection) ||
        last > std::numeric_limits<std::int64_t>::max() - std::max<std::int64_t>(expected, 1)) {
        return std::nullopt;
    }
    dropFileTriggers(connection);
    return last + 1;
}

void placeAddedRecords(Connection& connection, std::int64_t firstRowId) {
    makeKeys(connection, firstRowId, {});
    writeMadeKeys(connection, "main", Packing::InOrder);  // a compaction packs them later
    makeFileTriggers(connection);
    connection.execute(
        "UPDATE main.OrderState SET FirstId = (SELECT min(rowid) FROM main.Main), "
        "LastId = (SELECT max(rowid) FROM main.Main)");
    markNotesPlaced(connection);  // none was written for them
}

void deleteEveryRecord(Connection& connection) {
    Savepoint unit(connection);
    dropFileTriggers(connection);
    connection.execute("DELETE FROM main.Main");
    for (const View& view : views()) {
        connection.execute("DELETE FROM " + orderTable("main", view));
    }
    makeFileTriggers(connection);
    connection.execute("UPDATE main.OrderState SET FirstId = NULL, LastId = NULL");
    markNotesPlaced(connection);
    useFileOrders(connection);
    unit.release();
}

void keyNewCatalogue(Connection& connection) {
    remakeFileOrders(connection, {});
}

void remakeOrders(Connection& connection) {
    remakeFileOrders(connection, {});
}

void forgetOrders(Connection& connection) {
    dropFileTriggers(connection);
    dropOrderTables(connection, "main");
    connection.execute("DROP TABLE IF EXISTS main.OrderNotes");
    connection.execute("DROP TABLE IF EXISTS main.OrderState");
}

bool ordersAgree(Connection& connection) {
    Kept unknown;
    const Look seen = look(connection, unknown);
    if (!seen.whole || !seen.ours || !seen.trusted) {
        return false;
    }
    // Records noted are placed at the next opening: their ids are not looked at.
    const auto unnoted = [&](const std::string& id) {
        return seen.notes ? " WHERE " + id + " NOT IN (SELECT Id FROM main.OrderNotes)"
                          : std::string();
    };
    const std::uint64_t main =
        idsHash(connection, "SELECT rowid FROM main.Main" + unnoted("rowid"));
    for (const View& view : views()) {
        if (idsHash(connection, "SELECT Id FROM " + orderTable("main", view) + unnoted("Id")) !=
            main) {
            return false;
        }
    }
    return true;
}

}  // namespace db::catalogue

#include "catalogue/Orders.h"

#include <any>
#include <limits>
#include <unordered_set>
#include <vector>

#include "catalogue/Hashing.h"
#include "catalogue/OrderFile.h"
#include "catalogue/OrderTables.h"
#include "catalogue/Words.h"
#include "sqlite/DbError.h"
#include "sqlite/SqlText.h"

namespace db::catalogue {

namespace {

// What this connection knows of the orders between two reads.
struct Kept {
    std::int64_t dataVersion = -1;  // the file as it was when the orders were last true...
    std::int64_t changes = -1;      // ... after this connection's own writes
    std::int64_t wholeSchema = -1;  // the schema version last found with every table there
    std::int64_t followedUpTo = 0;  // the last note the session's own orders follow
    std::int64_t renumbered = -1;   // the file's count of untrusted remakings, last seen
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

// The session's own orders, made from Main as it is now.
void makeSessionOrders(Connection& connection, const std::function<void(int)>& progress) {
    makeEmptyOrderTables(connection, "temp");
    makeKeys(connection, "temp", LowestRowId, progress);
    writeMadeKeys(connection, "temp", Packing::InOrder);
    tell(progress, 100);
}

bool hasSessionOrders(Connection& connection) {
    return connection.integerValue("SELECT count(*) FROM temp.sqlite_schema WHERE name = ?",
                                   {std::string(views()[0].table)}) > 0;
}

// This session reads orders of its own: made once, then following the records noted. Made
// again when notes went before it saw them (another program placed them), or when the file's
// orders cannot be trusted (its row ids may have been renumbered). In a caller's transaction,
// which may yet be rolled back, the notes followed are not counted as followed.
void followInSession(Connection& connection, const Look& seen, Kept& kept, bool began) {
    if (hasSessionOrders(connection) && seen.whole && seen.trusted &&
        seen.placedUpTo <= kept.followedUpTo) {
        const std::int64_t upTo = placeNotes(connection, "temp", kept.followedUpTo);
        kept.followedUpTo = began ? upTo : kept.followedUpTo;
        return;
    }
    makeSessionOrders(connection, kept.progress);
    kept.followedUpTo =
        seen.whole && began
            ? std::max(seen.placedUpTo,
                       connection.integerValue("SELECT max(Seq) FROM main.OrderNotes"))
            : -1;
    if (!seen.whole || !seen.idsKept) {
        connection.rowIdsRenumbered();
    }
}

// The file's own orders are read: the session's, if any, let go.
void useFileOrders(Connection& connection) {
    if (hasSessionOrders(connection)) {
        dropOrderTables(connection, "temp");
    }
}

// Another copy of the program made the orders again untrusted since this one last looked: the
// row ids this one holds may be another numbering's.
void noteRenumbering(Connection& connection, const Look& seen, Kept& kept) {
    if (seen.renumbered < 0) {
        return;
    }
    if (kept.renumbered >= 0 && seen.renumbered != kept.renumbered) {
        connection.rowIdsRenumbered();
    }
    kept.renumbered = seen.renumbered;
}

// Brings the file's orders true in a transaction of their own (`began`: the read's, ended
// first and begun again after), or in the caller's. At a read, a file another program holds
// is not waited for. False when it is held.
bool placeInFile(Connection& connection, Kept& kept, bool opening, bool began) {
    const NoWaiting quick(connection, !opening);
    try {
        if (!began) {
            Savepoint unit(connection);
            bringFileTrue(connection, lookAtOrders(connection, kept.wholeSchema), kept.progress,
                          opening);
            unit.release();
            return true;
        }
        connection.execute("COMMIT");
        connection.execute("BEGIN IMMEDIATE");
        bringFileTrue(connection, lookAtOrders(connection, kept.wholeSchema), kept.progress,
                      opening);
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
        const Look seen = lookAtOrders(connection, kept.wholeSchema);
        noteRenumbering(connection, seen, kept);
        const bool fileTrue = seen.whole && seen.ours && seen.trusted && !seen.notes;
        const bool mayWrite =
            !connection.isReadOnly() && (opening || seen.ours || !seen.whole || !seen.trusted);
        kept.retry = false;
        if (fileTrue) {
            useFileOrders(connection);
        } else if (!mayWrite || attempt == 2) {  // another program keeps writing: later
            followInSession(connection, seen, kept, began);
        } else if (!placeInFile(connection, kept, opening, began)) {
            const Look now = lookAtOrders(connection, kept.wholeSchema);
            noteRenumbering(connection, now, kept);
            followInSession(connection, now, kept, began);
            kept.retry = true;  // the file is held: placed at a later read
        } else if (began) {
            continue;  // looked at again in the read's own transaction
        } else {
            useFileOrders(connection);
        }
        break;
    }
    // Brought true in a transaction of the caller's, which may yet be rolled back: looked at
    // again at the next read.
    kept.dataVersion = began ? connection.dataVersion() : -1;
    kept.changes = connection.totalChanges();
}

// Row ids of Main and of each order, hashed into one number each whatever their order: equal
// when each order holds every row id of Main once and no other (a difference goes unseen with
// a chance of one in 2^64).
std::uint64_t idsHash(Connection& connection, const std::string& sql) {
    std::uint64_t sum = 0;
    Statement ids(connection, sql);
    while (ids.step()) {
        sum += spread(static_cast<std::uint64_t>(ids.integerColumn(0)) + 0x9E3779B97F4A7C15ULL);
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

namespace {

// A database of another program: said before anything is made in it.
void requireRecordsTable(Connection& connection) {
    std::unordered_set<std::string> columns;
    Statement named(connection, "SELECT lower(name) FROM pragma_table_info('Main')");
    while (named.step()) {
        columns.insert(std::string(named.textColumn(0).value_or("")));
    }
    for (const char* column : {"artist", "title", "category", "format"}) {
        if (!columns.contains(column)) {
            throw DbError::foreignFile("The file '" + connection.path() +
                                       "' is a SQLite database of another program (it has no "
                                       "table Main with Artist, Title, Category, Format).");
        }
    }
}

}  // namespace

void prepareOrders(Connection& connection, const std::function<void(int)>& progress) {
    requireRecordsTable(connection);
    kept(connection).progress = progress;
    OrderRead opening(connection, true);
}

std::optional<std::int64_t> beginAddingMany(Connection& connection, std::int64_t expected) {
    bringOrdersTrue(connection);
    const std::int64_t last = connection.integerValue("SELECT coalesce(max(rowid), 0) FROM Main");
    if (hasSessionOrders(connection) ||
        last > std::numeric_limits<std::int64_t>::max() - std::max<std::int64_t>(expected, 1)) {
        return std::nullopt;
    }
    dropFileTriggers(connection);
    return last + 1;
}

void placeAddedRecords(Connection& connection, std::int64_t firstRowId) {
    makeKeys(connection, "main", firstRowId, {}, Words::Later);
    leaveWordsFrom(connection, firstRowId);
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
    emptyWordIndex(connection, "main");
    makeFileTriggers(connection);
    connection.execute("UPDATE main.OrderState SET FirstId = NULL, LastId = NULL");
    markNotesPlaced(connection);
    useFileOrders(connection);
    unit.release();
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

bool renumberedSince(Connection& connection, std::uint64_t generation, std::int64_t& seenVersion) {
    if (const std::int64_t version = connection.dataVersion(); version != seenVersion) {
        bringOrdersTrue(connection);  // finds a renumbering out
        seenVersion = version;
    }
    return connection.rowIdGeneration() != generation;
}

bool ordersAgree(Connection& connection) {
    std::int64_t schema = -1;
    const Look seen = lookAtOrders(connection, schema);
    if (!seen.whole || !seen.ours || !seen.trusted) {
        return false;
    }
    // Records noted are placed at the next opening: their ids are not looked at.
    const auto unnoted = [&](const std::string& id) {
        return seen.notes ? " AND " + id + " NOT IN (SELECT Id FROM main.OrderNotes)"
                          : std::string();
    };
    const std::uint64_t main =
        idsHash(connection, "SELECT rowid FROM main.Main WHERE 1" + unnoted("rowid"));
    for (const View& view : views()) {
        if (idsHash(connection, "SELECT Id FROM " + orderTable("main", view) + " WHERE 1" +
                                    unnoted("Id")) != main) {
            return false;
        }
    }
    // Records added many at once wait for the word index after the others.
    const auto waitFrom = wordsWaitFrom(connection, "main");
    const std::string indexed = waitFrom ? " AND rowid < " + std::to_string(*waitFrom) : "";
    return idsHash(connection, indexedIds("main") + " WHERE 1" + unnoted("id")) ==
           idsHash(connection, "SELECT rowid FROM main.Main WHERE 1" + indexed + unnoted("rowid"));
}

}  // namespace db::catalogue

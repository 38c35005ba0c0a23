#include "repair/Maintenance.h"

#include <cerrno>
#include <future>
#include <optional>

#include "catalogue/Orders.h"
#include "files/Disk.h"
#include "files/ReplacingFile.h"
#include "repair/Salvage.h"
#include "sqlite/Connection.h"
#include "sqlite/DbError.h"

namespace db::maintenance {
namespace {

void check(int error, const std::string& what, const std::string& path) {
    if (error != 0) {
        throw DbError(err::Unspecified, files::describeFailure(what, path, error));
    }
}

// The engine's page-by-page check of the file's structure.
bool passesCheck(Connection& connection) {
    return connection.textValue("PRAGMA quick_check") == "ok";
}

void vacuumInto(const std::string& source, const std::string& target) {
    Connection connection;
    connection.open(source);
    connection.execute("VACUUM INTO ?", {Value(target)});
}

// What a look at a catalogue found, from a connection of its own (it runs beside the
// compaction): its structure sound, and its orders in agreement with Main.
struct Looked {
    bool sound = false;
    bool ordersAgree = false;
};

Looked lookAt(const std::string& path) {
    Looked looked;
    try {
        Connection connection;
        connection.open(path);
        const ReadTransaction read(connection);
        looked.sound = passesCheck(connection);
        looked.ordersAgree = looked.sound && catalogue::ordersAgree(connection);
    } catch (const DbError& error) {
        if (!error.damaged) {
            throw;
        }
        looked = {};
    }
    return looked;
}

// The compacted copy made whole: its orders made again when the catalogue's disagreed with
// its records, then its structure checked page by page (the full integrity check would also
// compare every index with its table, ten times the work of the compaction on a large
// catalogue, for indexes the compaction has just built from that table).
void finishCopy(const std::string& copy, bool remakeOrders) {
    Connection connection;
    connection.open(copy);
    if (remakeOrders) {
        Transaction transaction(connection);
        catalogue::remakeOrders(connection);
        transaction.commit();
    }
    if (!passesCheck(connection)) {
        throw DbError(err::Unspecified,
                      "The compacted copy '" + copy + "' did not pass the integrity check.");
    }
}

void flushInPlace(const std::string& file) {
    check(files::disk().flushByName(file), "Cannot write", file);
    check(files::disk().flushFolder(files::folderOf(file)), "Cannot write the folder of", file);
}

}  // namespace

void copyFile(const std::string& from, const std::string& to) {
    try {
        files::copyFile(from, to);
    } catch (const files::FileError& error) {
        throw DbError(err::Unspecified, error.what());
    }
}

void removeFile(const std::string& path) {
    check(files::disk().remove(path), "Cannot remove", path);
}

void compactInto(const std::string& source, const std::string& target) {
    vacuumInto(source, target);
    finishCopy(target, false);
    flushInPlace(target);
}

void replaceFile(const std::string& replacement, const std::string& target) {
    check(files::disk().rename(replacement, target),
          "Cannot put the compacted copy in the place of", target);
    check(files::disk().flushFolder(files::folderOf(target)), "Cannot write the folder of", target);
}

bool placeNewFile(const std::string& file, const std::string& target) {
    check(files::disk().flushByName(file), "Cannot write", file);
    const int placed = files::disk().renameNoReplace(file, target);
    if (placed == EEXIST) {
        return false;
    }
    check(placed, "Cannot put the new file in place as", target);
    check(files::disk().flushFolder(files::folderOf(target)), "Cannot write the folder of", target);
    return true;
}

RepairNames repairNames(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    const std::string stem = dot == std::string::npos ? fileName : fileName.substr(0, dot);
    const std::string extension = dot == std::string::npos ? "" : fileName.substr(dot);
    // A backup opened as the catalogue keeps its own backup under a longer name, never
    // copied onto itself.
    const bool isBackup = stem + ".BAK" == fileName;
    const std::string kept = isBackup ? fileName : stem;
    return {kept + ".BAK", stem + "REBUILT" + extension, kept + ".DAMAGED"};
}

RebuildResult rebuildCatalogue(const std::string& folder, const std::function<void(int)>& progress,
                               const std::string& fileName) {
    const RepairNames names = repairNames(fileName);
    const std::string catalogue = folder + fileName;
    const std::string rebuilt = folder + names.rebuilt;
    auto report = [&](int value) {
        if (progress) {
            progress(value);
        }
    };
    // Other programs may read the file meanwhile, not write it: a change made after the
    // compaction read the file would be lost in the rename. A file too damaged to be opened
    // cannot be held; it is salvaged as it lies.
    Connection guard;
    std::optional<Transaction> writersKeptOut;
    try {
        guard.open(catalogue);
        writersKeptOut.emplace(guard);
    } catch (const DbError& error) {
        if (!error.damaged) {
            return {RebuildResult::InUse, error.description};
        }
    }
    // A leftover of an interrupted run; the compaction says what is wrong with that name.
    files::disk().remove(rebuilt);
    // The compaction, and beside it on the other core the checks of the file and its orders.
    Looked looked;
    std::optional<DbError> failed;
    if (writersKeptOut) {
        auto checks = std::async(std::launch::async, lookAt, catalogue);
        try {
            vacuumInto(catalogue, rebuilt);
        } catch (const DbError& error) {
            failed = error;
        }
        try {
            looked = checks.get();
        } catch (const DbError& error) {
            looked.sound = true;  // not damaged: it could not be looked at now
            failed = failed.value_or(error);
        }
    }
    RebuildResult result{RebuildResult::Done, {}};
    if (looked.sound && failed) {  // the file as it was stays, with its backup beside it
        files::disk().remove(rebuilt);
        try {
            copyFile(catalogue, folder + names.backup);
        } catch (const DbError& error) {
            return {RebuildResult::NoBackup, error.description};
        }
        return {RebuildResult::CompactionFailed, failed->description};
    }
    if (looked.sound) {
        // The backup copy, and beside it the compacted copy made whole.
        auto finished = std::async(std::launch::async, finishCopy, rebuilt, !looked.ordersAgree);
        std::optional<DbError> noBackup;
        try {
            copyFile(catalogue, folder + names.backup);
        } catch (const DbError& error) {
            noBackup = error;
        }
        try {
            finished.get();
            if (!noBackup) {
                flushInPlace(rebuilt);
            }
        } catch (const DbError& error) {
            failed = error;
        }
        if (noBackup || failed) {
            files::disk().remove(rebuilt);
            return noBackup ? RebuildResult{RebuildResult::NoBackup, noBackup->description}
                            : RebuildResult{RebuildResult::CompactionFailed, failed->description};
        }
    } else {
        files::disk().remove(rebuilt);
        try {
            copyFile(catalogue, folder + names.damaged);
        } catch (const DbError& error) {
            return {RebuildResult::NoBackup, error.description};
        }
        try {
            const salvage::Salvaged kept =
                salvage::salvageInto(catalogue, rebuilt, salvage::pageTableModule());
            result.salvaged = true;
            result.saved = kept.saved;
            result.claimed = kept.claimed;
        } catch (const DbError& error) {
            files::disk().remove(rebuilt);
            return {RebuildResult::CompactionFailed, error.description};
        }
    }
    report(60);
    report(70);  // the backup already holds the file as it was
    report(80);
    try {
        replaceFile(rebuilt, catalogue);
    } catch (const DbError& error) {
        files::disk().remove(rebuilt);
        result.outcome = RebuildResult::NotReplaced;
        result.why = error.description;
        return result;
    }
    report(85);
    return result;
}

}  // namespace db::maintenance

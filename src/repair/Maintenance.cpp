#include "repair/Maintenance.h"

#include <sys/stat.h>
#include <cerrno>
#include <future>
#include <optional>

#include "catalogue/Orders.h"
#include "catalogue/Views.h"
#include "files/Disk.h"
#include "files/ReplacingFile.h"
#include "repair/Salvage.h"
#include "sqlite/Connection.h"
#include "sqlite/DbError.h"
#include "sqlite/SqlText.h"

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
// its records, then its tables' structure checked page by page. The orders' tables, which the
// catalogue's check has just found to agree with Main or which were just made from it, are
// left out: they are most of the pages. (The full integrity check would also compare every
// index with its table, ten times the work of the compaction on a large catalogue.)
void finishCopy(const std::string& copy, bool remakeOrders) {
    Connection connection;
    connection.open(copy);
    if (remakeOrders) {
        Transaction transaction(connection);
        catalogue::remakeOrders(connection);
        transaction.commit();
    }
    std::vector<std::string> tables;
    Statement list(connection, "SELECT name FROM sqlite_schema WHERE type = 'table'");
    while (list.step()) {
        const std::string name(list.textColumn(0).value_or(""));
        if (!View::ofTable(name)) {
            tables.push_back(name);
        }
    }
    for (const std::string& table : tables) {
        if (connection.textValue("PRAGMA quick_check(" + quoted(table) + ")") != "ok") {
            throw DbError(err::Unspecified,
                          "The compacted copy '" + copy + "' did not pass the integrity check.");
        }
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
    const int moved = files::disk().rename(replacement, target);
    if (moved == EXDEV) {  // a catalogue linked from another disk: copied there, then dropped
        copyFile(replacement, target);
        removeFile(replacement);
        return;
    }
    check(moved, "Cannot put the compacted copy in the place of", target);
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

std::optional<std::int64_t> recordsIn(const std::string& path) {
    try {
        Connection connection;
        connection.open(path);
        return connection.integerValue("SELECT count(*) FROM Main");
    } catch (const DbError&) {
        return std::nullopt;
    }
}

RepairNames repairNames(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    const std::string stem = dot == std::string::npos ? fileName : fileName.substr(0, dot);
    const std::string extension = dot == std::string::npos ? "" : fileName.substr(dot);
    // A backup opened as the catalogue keeps its own backup under a longer name, never
    // copied onto itself.
    const bool isBackup = stem + ".BAK" == fileName;
    const std::string kept = isBackup ? fileName : stem;
    return {fileName, kept + ".BAK", stem + "REBUILT" + extension, kept + ".DAMAGED"};
}

namespace {

// Which file a name leads to (through a symbolic link), and whether it is one itself.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool linked = false;
    bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> identityOf(const std::string& path) {
    struct stat named {
    }, file{};
    if (::lstat(path.c_str(), &named) != 0 || ::stat(path.c_str(), &file) != 0 ||
        !S_ISREG(file.st_mode)) {
        return std::nullopt;
    }
    return FileIdentity{file.st_dev, file.st_ino, S_ISLNK(named.st_mode)};
}

// The file as it was kept beside it as the backup (a sound one; a damaged one has its copy
// already), and the compacted copy put in its place, the catalogue's name holding a whole
// catalogue at every moment. Where the disk can, the two swap names in one step and the file
// as it was then takes the backup's name, nothing copied (swapped back if it cannot). Else a
// flushed copy of the file is taken first and the compacted copy renamed over it. A catalogue
// reached through a link is replaced where it lives and the link stays (across disks the
// compacted copy is copied there). `compacted` is the file that was compacted.
void keepAndReplace(const std::string& folder, const RepairNames& names,
                    const std::optional<FileIdentity>& compacted, RebuildResult& result) {
    const std::string rebuilt = folder + names.rebuilt;
    std::string catalogue, backup;  // where the files live, reached through any link
    try {
        catalogue = files::whereItLives(folder + names.catalogue,
                                        "Cannot put the compacted copy in the place of");
        backup = files::whereItLives(folder + names.backup, "Cannot keep the file as");
    } catch (const files::FileError& error) {
        files::disk().remove(rebuilt);
        result = {RebuildResult::NotReplaced, error.what()};
        return;
    }
    const auto fail = [&](RebuildResult::Outcome outcome, const std::string& why) {
        files::disk().remove(rebuilt);
        result.outcome = outcome;
        result.why = why;
    };
    // The catalogue keeps the permissions its user gave it (a private one stays private).
    if (struct stat was{}; ::stat(catalogue.c_str(), &was) == 0) {
        ::chmod(rebuilt.c_str(), was.st_mode & 07777);
    }
    const auto now = identityOf(folder + names.catalogue);
    if (compacted && now != compacted) {
        fail(RebuildResult::NotReplaced, "Cannot put the compacted copy in the place of '" +
                                             catalogue + "': it is no longer the file compacted.");
        return;
    }
    // Across disks (a catalogue linked from another one) nothing swaps: the copy way is taken.
    const int swapped = compacted ? files::disk().exchange(rebuilt, catalogue) : EINVAL;
    if (swapped == 0) {
        if (const int kept = files::disk().rename(rebuilt, backup); kept != 0) {
            const std::string why = files::describeFailure("Cannot keep the file as", backup, kept);
            if (files::disk().exchange(rebuilt, catalogue) == 0) {
                fail(RebuildResult::NoBackup, why);  // as it was: the compacted copy goes
            } else {
                result.outcome = RebuildResult::BackupNotKept;
                result.why = why;
            }
            return;
        }
        std::vector<std::string> folders{files::folderOf(catalogue)};
        if (files::folderOf(backup) != folders.front()) {  // the catalogue is linked from afar
            folders.push_back(files::folderOf(backup));
        }
        for (const std::string& changed : folders) {
            if (const int flushed = files::disk().flushFolder(changed)) {
                result.outcome = RebuildResult::NotReplaced;
                result.why = files::describeFailure("Cannot write the folder", changed, flushed);
                return;
            }
        }
        return;
    }
    if (swapped != EINVAL && swapped != ENOSYS && swapped != ENOTSUP && swapped != EXDEV) {
        fail(RebuildResult::NotReplaced,
             files::describeFailure("Cannot put the compacted copy in the place of", catalogue,
                                    swapped));
        return;
    }
    if (compacted) {
        try {
            copyFile(catalogue, backup);
        } catch (const DbError& error) {
            fail(RebuildResult::NoBackup, error.description);
            return;
        }
    }
    try {
        replaceFile(rebuilt, catalogue);
    } catch (const DbError& error) {
        fail(RebuildResult::NotReplaced, error.description);
    }
}

}  // namespace

RebuildResult rebuildCatalogue(const std::string& folder, const std::function<void(int)>& progress,
                               const std::string& fileName,
                               const std::function<std::string()>& findPageReader) {
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
    const std::optional<FileIdentity> compacted = identityOf(catalogue);
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
    if (looked.sound && !failed) {
        try {
            finishCopy(rebuilt, !looked.ordersAgree);
            flushInPlace(rebuilt);
        } catch (const DbError& error) {
            failed = error;
        }
    }
    if (looked.sound && failed) {  // the file as it was stays, with its backup beside it
        files::disk().remove(rebuilt);
        try {
            copyFile(catalogue, folder + names.backup);
        } catch (const DbError& error) {
            return {RebuildResult::NoBackup, error.description};
        }
        return {RebuildResult::CompactionFailed, failed->description, false, 0,
                recordsIn(catalogue)};
    }
    if (!looked.sound) {
        files::disk().remove(rebuilt);
        std::string pageReader;
        try {
            pageReader = findPageReader();
        } catch (const DbError& error) {
            return {RebuildResult::NotSalvaged,
                    "'" + catalogue + "' is damaged, and cannot be salvaged here: " +
                        error.description + " The damaged file is kept as it is."};
        }
        try {
            copyFile(catalogue, folder + names.damaged);
        } catch (const DbError& error) {
            return {RebuildResult::NoBackup, error.description};
        }
        try {
            const salvage::Salvaged kept = salvage::salvageInto(catalogue, rebuilt, pageReader);
            result.salvaged = true;
            result.saved = kept.saved;
            result.claimed = kept.claimed;
        } catch (const DbError& error) {
            files::disk().remove(rebuilt);
            return {RebuildResult::CompactionFailed, error.description, false, 0,
                    salvage::claimedRecords(catalogue)};
        }
    }
    report(60);
    report(70);
    report(80);
    keepAndReplace(folder, names, looked.sound ? compacted : std::nullopt, result);
    if (result.outcome == RebuildResult::Done || result.outcome == RebuildResult::BackupNotKept) {
        report(85);
    }
    return result;
}

}  // namespace db::maintenance

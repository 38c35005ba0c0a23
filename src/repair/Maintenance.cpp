#include "repair/Maintenance.h"

#include <cerrno>
#include <optional>

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
    Statement check(connection, "PRAGMA quick_check");
    return check.step() && check.column(0).text() == "ok";
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
    {
        Connection connection;
        connection.open(source);
        connection.execute("VACUUM INTO ?", {Value(target)});
    }
    {
        // The structural check reads every page of the copy; the full integrity check would
        // also compare every index with its table, ten times the work of the compaction on a
        // large catalogue, for indexes the compaction has just built from that table.
        Connection copy;
        copy.open(target);
        if (!passesCheck(copy)) {
            throw DbError(err::Unspecified,
                          "The compacted copy '" + target + "' did not pass the integrity check.");
        }
    }
    check(files::disk().flushByName(target), "Cannot write", target);
    check(files::disk().flushFolder(files::folderOf(target)), "Cannot write the folder of", target);
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
    bool sound = false;
    try {
        guard.open(catalogue);
        writersKeptOut.emplace(guard);
        sound = passesCheck(guard);
    } catch (const DbError& error) {
        if (!error.damaged) {
            return {RebuildResult::InUse, error.description};
        }
    }
    // A leftover of an interrupted run; the compaction says what is wrong with that name.
    files::disk().remove(rebuilt);
    try {
        copyFile(catalogue, folder + (sound ? names.backup : names.damaged));
    } catch (const DbError& error) {
        return {RebuildResult::NoBackup, error.description};
    }
    RebuildResult result{RebuildResult::Done, {}};
    try {
        if (sound) {
            compactInto(catalogue, rebuilt);
        } else {
            const salvage::Salvaged kept =
                salvage::salvageInto(catalogue, rebuilt, salvage::pageTableModule());
            result.salvaged = true;
            result.saved = kept.saved;
            result.claimed = kept.claimed;
        }
    } catch (const DbError& error) {
        files::disk().remove(rebuilt);
        return {RebuildResult::CompactionFailed, error.description};
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

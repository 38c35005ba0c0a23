#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "repair/Salvage.h"

// Work on the catalogue's files, each step done so that a crash at any moment leaves a
// complete catalogue: every file written is flushed to the disk (the file, then its
// folder) before it is relied on, and a file takes another's place in one rename.
// Failures are DbErrors (Unspecified) saying which file and why.
namespace db::maintenance {

// Copies a file over another: the copy replaces it only once complete and flushed.
void copyFile(const std::string& from, const std::string& to);

// Removes a file; one that is not there is no failure.
void removeFile(const std::string& path);

// Writes a compacted copy of the catalogue at `source` to `target` from a connection of its
// own, checks the copy's structure page by page and flushes it.
void compactInto(const std::string& source, const std::string& target);

// Puts `replacement` in the place of `target` in one rename and flushes the folder.
void replaceFile(const std::string& replacement, const std::string& target);

// Flushes `file` and gives it the name `target` in one rename, flushing the folder, unless
// something already has that name: then nothing changes and the answer is false.
bool placeNewFile(const std::string& file, const std::string& target);

// The records the catalogue file at `path` holds; nothing when it cannot be read as one.
std::optional<std::int64_t> recordsIn(const std::string& path);

// The names the repair of the catalogue file `fileName` writes beside it: Zembo.mdb keeps
// Zembo.BAK and is rebuilt as ZemboREBUILT.mdb; Zembo.BAK itself keeps Zembo.BAK.BAK. A
// damaged Zembo.mdb is kept as Zembo.DAMAGED instead, never in the place of a sound backup.
struct RepairNames {
    std::string catalogue, backup, rebuilt, damaged;
};
RepairNames repairNames(const std::string& fileName);

// The whole repair of the catalogue `fileName` in `folder` (which ends in a separator), its
// connections closed: a leftover ZemboREBUILT.mdb removed (the names of repairNames); the file
// compacted into ZemboREBUILT.mdb while, beside it, the file and its orders are checked; the
// compacted copy's orders made again if they disagreed with Main, its tables checked, and it
// put in the place of Zembo.mdb, the file as it was kept as Zembo.BAK (the two swap names
// where the disk can; elsewhere a flushed copy is taken first and the compacted copy renamed
// over the file). A damaged file is kept as Zembo.DAMAGED and what the engine's recovery reads
// from it salvaged into ZemboREBUILT.mdb instead. Zembo.mdb is a whole catalogue at every
// moment, and no other program can change it from the compaction to the rename (one that holds
// it stops the repair before anything is written: InUse). A failed compaction leaves Zembo.mdb
// as it was, a copy of it as Zembo.BAK. `progress` hears 60, 70, 80 and 85 as the steps are done.
struct RebuildResult {
    // BackupNotKept: the catalogue is repaired, but the file as it was stays under the rebuilt
    // copy's name. NotSalvaged: the file is damaged and the salvage cannot run here (its page
    // reader is missing); nothing was written.
    enum Outcome {
        Done,
        InUse,
        NoBackup,
        CompactionFailed,
        NotReplaced,
        BackupNotKept,
        NotSalvaged
    } outcome;
    std::string why;
    // Set when the file was damaged and salvaged: the records saved, and how many the damaged
    // file claimed to hold (nothing when it could not even say). A failed compaction or
    // salvage tells `claimed` too, as far as the file can say.
    bool salvaged = false;
    std::int64_t saved = 0;
    std::optional<std::int64_t> claimed = std::nullopt;
};
// `findPageReader` says where the salvage's page reader is, or throws DbError saying why not.
RebuildResult rebuildCatalogue(
    const std::string& folder, const std::function<void(int)>& progress = {},
    const std::string& fileName = "Zembo.mdb",
    const std::function<std::string()>& findPageReader = salvage::pageTableModule);

}  // namespace db::maintenance

#include "db/Maintenance.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "db/Connection.h"
#include "db/DbError.h"

namespace db::maintenance {
namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path) {
    throw DbError(err::Unspecified, what + " '" + path + "': " + std::strerror(errno) + ".");
}

std::string folderOf(const std::string& path) {
    const auto folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

// Flushes a file's contents, or a folder's list of names, to the disk.
void flush(const std::string& path, bool folder) {
    const int fd = ::open(path.c_str(), folder ? (O_RDONLY | O_DIRECTORY) : O_RDONLY);
    if (fd < 0) {
        fail("Cannot open", path);
    }
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    if (!synced) {
        fail("Cannot write to the disk", path);
    }
}

}  // namespace

void copyFile(const std::string& from, const std::string& to) {
    const int in = ::open(from.c_str(), O_RDONLY);
    if (in < 0) {
        fail("Cannot read", from);
    }
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0) {
        ::close(in);
        fail("Cannot write", to);
    }
    char buffer[1 << 16];
    bool ok = true;
    for (ssize_t got; ok && (got = ::read(in, buffer, sizeof buffer)) != 0;) {
        if (got < 0) {
            ok = errno == EINTR;
            continue;
        }
        for (ssize_t done = 0; ok && done < got;) {
            const ssize_t put = ::write(out, buffer + done, static_cast<size_t>(got - done));
            ok = put >= 0 || errno == EINTR;
            done += put > 0 ? put : 0;
        }
    }
    ok = ok && ::fsync(out) == 0;
    ::close(in);
    if (::close(out) != 0 || !ok) {
        fail("Cannot write", to);
    }
    flush(folderOf(to), true);
}

void removeFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        fail("Cannot remove", path);
    }
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
        Statement check(copy, "PRAGMA quick_check");
        if (!check.step() || check.column(0).text() != "ok") {
            throw DbError(err::Unspecified,
                          "The compacted copy '" + target + "' did not pass the integrity check.");
        }
    }
    flush(target, false);
    flush(folderOf(target), true);
}

void replaceFile(const std::string& replacement, const std::string& target) {
    if (::rename(replacement.c_str(), target.c_str()) != 0) {
        fail("Cannot put the compacted copy in the place of", target);
    }
    flush(folderOf(target), true);
}

bool placeFile(const std::string& file, const std::string& target) {
    if (::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
        if (errno == EEXIST) {
            return false;
        }
        // A file system without the no-replace rename: look first, then rename.
        if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
            fail("Cannot put the copy in place as", target);
        }
        if (::access(target.c_str(), F_OK) == 0) {
            return false;
        }
        if (::rename(file.c_str(), target.c_str()) != 0) {
            fail("Cannot put the copy in place as", target);
        }
    }
    flush(folderOf(target), true);
    return true;
}

RepairNames repairNames(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    const std::string stem = dot == std::string::npos ? fileName : fileName.substr(0, dot);
    const std::string extension = dot == std::string::npos ? "" : fileName.substr(dot);
    // A backup opened as the catalogue keeps its own backup under a longer name, never
    // copied onto itself.
    const std::string backup = stem + ".BAK" == fileName ? fileName + ".BAK" : stem + ".BAK";
    return {backup, stem + "REBUILT" + extension};
}

RebuildResult rebuildCatalogue(const std::string& folder, const std::function<void(int)>& progress,
                               const std::string& fileName) {
    const RepairNames names = repairNames(fileName);
    const std::string catalogue = folder + fileName;
    const std::string backup = folder + names.backup;
    const std::string rebuilt = folder + names.rebuilt;
    auto report = [&](int value) {
        if (progress) {
            progress(value);
        }
    };
    // Other programs may read the file meanwhile, not write it: a change made after the
    // compaction read the file would be lost in the rename.
    Connection guard;
    std::optional<Transaction> writersKeptOut;
    try {
        guard.open(catalogue);
        writersKeptOut.emplace(guard);
    } catch (const DbError& error) {
        return {RebuildResult::InUse, error.description};
    }
    try {
        copyFile(catalogue, backup);
    } catch (const DbError& error) {
        return {RebuildResult::NoBackup, error.description};
    }
    try {
        removeFile(rebuilt);
    } catch (const DbError&) {
        // The compaction below says what is wrong with that name.
    }
    try {
        compactInto(catalogue, rebuilt);
    } catch (const DbError& error) {
        return {RebuildResult::CompactionFailed, error.description};
    }
    report(60);
    report(70);  // the backup already holds the file as it was
    report(80);
    try {
        replaceFile(rebuilt, catalogue);
    } catch (const DbError& error) {
        try {
            removeFile(rebuilt);
        } catch (const DbError&) {
        }
        return {RebuildResult::NotReplaced, error.description};
    }
    report(85);
    return {RebuildResult::Done, {}};
}

}  // namespace db::maintenance

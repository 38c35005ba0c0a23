#include "repair/Leftovers.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <array>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "files/Disk.h"
#include "repair/Maintenance.h"

namespace db::maintenance {
namespace {

constexpr std::array<std::string_view, 3> JournalSuffixes{"-journal", "-wal", "-shm"};
constexpr std::string_view DatabaseHeader{"SQLite format 3\0", 16};
// The engine locks these bytes of a database while a connection reads or writes it.
constexpr off_t EngineLockBytes = 0x40000000;
constexpr off_t EngineLockLength = 512;

struct Leftover {
    std::string rebuilt;    // ZemboREBUILT.mdb
    std::string catalogue;  // Zembo.mdb, which it was made from
};

// The rebuilt copy a name belongs to (itself or one of its journals), and its catalogue.
std::optional<Leftover> leftoverNamed(std::string_view name) {
    for (const std::string_view suffix : JournalSuffixes) {
        if (name.ends_with(suffix)) {
            name.remove_suffix(suffix.size());
            break;
        }
    }
    const std::size_t dot = name.rfind('.');
    const std::string_view stem = dot == std::string_view::npos ? name : name.substr(0, dot);
    if (!stem.ends_with("REBUILT") || stem.size() == std::strlen("REBUILT")) {
        return std::nullopt;
    }
    const std::string catalogue =
        std::string(stem.substr(0, stem.size() - std::strlen("REBUILT"))) +
        std::string(name.substr(stem.size()));
    if (repairNames(catalogue).rebuilt != name) {
        return std::nullopt;
    }
    return Leftover{std::string(name), catalogue};
}

// A file of its own, not a link (a leftover is never reached through one).
bool isFile(const std::string& path) {
    struct stat named {};
    return ::lstat(path.c_str(), &named) == 0 && S_ISREG(named.st_mode);
}

// A catalogue there, itself or behind a link (kept in a synced folder, say).
bool catalogueThere(const std::string& path) {
    struct stat file {};
    return ::stat(path.c_str(), &file) == 0 && S_ISREG(file.st_mode);
}

// Whether a program holds the file (the one a link leads to): a lock of the engine's (any
// connection's, this program's too) or a whole-file lock. A file that cannot be looked at
// counts as held.
bool held(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno != ENOENT;
    }
    struct flock engine {};
    engine.l_type = F_WRLCK;
    engine.l_whence = SEEK_SET;
    engine.l_start = EngineLockBytes;
    engine.l_len = EngineLockLength;
    const bool locked = ::fcntl(fd, F_OFD_GETLK, &engine) != 0 || engine.l_type != F_UNLCK ||
                        ::flock(fd, LOCK_SH | LOCK_NB) != 0;
    ::close(fd);
    return locked;
}

// Empty (the compaction had not begun), a database, or one cut short: the engine writes the
// first page, its header, last.
bool madeByTheEngine(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    char header[DatabaseHeader.size()];
    const ssize_t got = ::read(fd, header, sizeof header);
    ::close(fd);
    const std::string_view first(header, got > 0 ? static_cast<std::size_t>(got) : 0);
    return got == 0 ||
           (got == ssize_t(sizeof header) &&
            (first == DatabaseHeader || first.find_first_not_of('\0') == std::string_view::npos));
}

}  // namespace

void removeRebuiltLeftovers(const std::string& folder) {
    const std::string prefix = folder.ends_with('/') ? folder : folder + "/";
    DIR* list = ::opendir(prefix.c_str());
    if (!list) {
        return;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(list)) {
        names.emplace_back(entry->d_name);
    }
    ::closedir(list);
    for (const std::string& name : names) {
        const auto leftover = leftoverNamed(name);
        if (!leftover || !isFile(prefix + name) || !catalogueThere(prefix + leftover->catalogue)) {
            continue;
        }
        const std::string rebuilt = prefix + leftover->rebuilt;
        const bool journal = name != leftover->rebuilt;
        // A journal goes with its rebuilt copy, or alone once that is gone.
        if ((journal ? isFile(rebuilt) && !madeByTheEngine(rebuilt) : !madeByTheEngine(rebuilt)) ||
            held(rebuilt) || held(prefix + leftover->catalogue)) {
            continue;
        }
        files::disk().remove(prefix + name);
    }
}

}  // namespace db::maintenance

#include "files/ReplacingFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>

#include "files/Disk.h"

namespace files {
namespace {

std::string cause(int error) {
    switch (error) {
        case ENOSPC:
            return "the disk is full";
        case EDQUOT:
            return "the disk quota is used up";
        case EACCES:
        case EPERM:
            return "permission denied";
        case EROFS:
            return "the disk is read-only";
        default:
            return std::strerror(error);
    }
}

void check(int error, const std::string& what, const std::string& path) {
    if (error != 0) {
        throw FileError(describeFailure(what, path, error));
    }
}

std::string uniqueName(const std::string& target) {
    static constexpr char Letters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof Letters - 2);
    std::string name = target + ".";
    for (int i = 0; i < 6; ++i) {
        name += Letters[pick(random)];
    }
    return name + std::string(TemporarySuffix);
}

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() > end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

std::string describeFailure(const std::string& what, const std::string& path, int error) {
    return what + " '" + path + "': " + cause(error) + ".";
}

std::string folderOf(const std::string& path) {
    const auto folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

std::string whereItLives(const std::string& path, const std::string& what) {
    const auto refuse = [&](const std::string& why) {
        throw FileError(what + " '" + path + "': " + why + ".");
    };
    std::string at = path;
    for (int links = 0;; ++links) {
        struct stat named {};
        if (::lstat(at.c_str(), &named) != 0) {
            if (errno == ENOENT && at != path) {
                refuse("it is a link to '" + at + "', which is not there");
            }
            return at;  // a new file, or the write says why it cannot be made
        }
        if (S_ISDIR(named.st_mode)) {
            refuse(at == path ? "it is a folder" : "it is a link to the folder '" + at + "'");
        }
        if (!S_ISLNK(named.st_mode) && !S_ISREG(named.st_mode)) {
            refuse(at == path ? "it is a device or a pipe, not a file"
                              : "it is a link to '" + at + "', a device or a pipe, not a file");
        }
        if (S_ISREG(named.st_mode)) {
            return at;
        }
        std::error_code error;
        const std::filesystem::path link = std::filesystem::read_symlink(at, error);
        if (error || links == 40) {
            refuse("its link cannot be followed");
        }
        // Not normalised: a ".." after a linked folder is the kernel's to resolve.
        at = (std::filesystem::path(folderOf(at)) / link).string();
    }
}

namespace {

// The program's temporary file a name belongs to: the name itself, or the file whose journal
// (an engine's file beside a temporary database) it is.
std::optional<std::string> temporaryOwning(std::string_view name) {
    for (const std::string_view extra : {"", "-journal", "-wal", "-shm"}) {
        if (name.ends_with(extra) &&
            endsWith(name.substr(0, name.size() - extra.size()), TemporarySuffix)) {
            return std::string(name.substr(0, name.size() - extra.size()));
        }
    }
    return std::nullopt;
}

// Whether a running program holds the lock of the file it is writing there.
bool beingWritten(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;  // gone: no one writes it
    }
    struct stat info {};
    const bool written =
        ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return written;
}

}  // namespace

void removeLeftovers(const std::string& folder) {
    DIR* list = ::opendir(folder.c_str());
    if (!list) {
        return;  // the write that follows says what is wrong with the folder
    }
    while (const dirent* entry = ::readdir(list)) {
        const auto owner = temporaryOwning(entry->d_name);
        if (!owner) {
            continue;
        }
        const std::string path = folder + "/" + entry->d_name;
        struct stat named {};
        if (::lstat(path.c_str(), &named) == 0 && S_ISREG(named.st_mode) &&
            !beingWritten(folder + "/" + *owner)) {
            disk().remove(path);
        }
    }
    ::closedir(list);
}

ReplacingFile::ReplacingFile(std::string target, Placing placing)
    : target_(std::move(target)), lives_(whereItLives(target_)), placing_(placing) {
    removeLeftovers(folderOf(lives_));
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        temporary_ = uniqueName(lives_);
        error = disk().createNew(temporary_, 0666, fd_);
    }
    check(error, "Cannot create a file beside", lives_);
    // The file it replaces keeps its permissions; a new one gets those any new file gets.
    struct stat existing {};
    if (::stat(lives_.c_str(), &existing) == 0) {
        ::fchmod(fd_, existing.st_mode & 07777);
    }
}

ReplacingFile::~ReplacingFile() {
    if (!placed_) {
        abandon();
    }
}

void ReplacingFile::abandon() {
    if (fd_ >= 0) {
        disk().close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        disk().remove(temporary_);
        temporary_.clear();
    }
}

void ReplacingFile::write(std::string_view data) {
    check(disk().write(fd_, data.data(), data.size()), "Cannot write", target_);
}

bool ReplacingFile::commit() {
    check(disk().flushFile(fd_), "Cannot write", target_);
    const int closed = disk().close(fd_);
    fd_ = -1;
    check(closed, "Cannot write", target_);
    if (placing_ == Placing::Replace) {
        check(disk().rename(temporary_, lives_), "Cannot put the new file in the place of",
              target_);
    } else if (const int error = disk().renameNoReplace(temporary_, lives_); error == EEXIST) {
        return false;
    } else {
        check(error, "Cannot put the new file in place as", target_);
    }
    placed_ = true;
    temporary_.clear();
    check(disk().flushFolder(folderOf(lives_)), "Cannot write the folder of", target_);
    return true;
}

bool copyFile(const std::string& from, const std::string& to, ReplacingFile::Placing placing) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        throw FileError(describeFailure("Cannot read", from, errno));
    }
    try {
        ReplacingFile out(to, placing);
        std::string buffer(1 << 16, '\0');
        for (ssize_t got; (got = ::read(in, buffer.data(), buffer.size())) != 0;) {
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                throw FileError(describeFailure("Cannot read", from, errno));
            }
            out.write(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
        }
        const bool placed = out.commit();
        ::close(in);
        return placed;
    } catch (...) {
        ::close(in);
        throw;
    }
}

}  // namespace files

#include "files/Disk.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <cstdio>

namespace files {
namespace {

SystemDisk systemDisk;
std::atomic<Disk*> current{&systemDisk};

int failure() {
    return errno != 0 ? errno : EIO;
}

int flushDescriptorOf(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) {
        return failure();
    }
    const int result = ::fsync(fd) == 0 ? 0 : failure();
    ::close(fd);
    return result;
}

}  // namespace

int SystemDisk::createNew(const std::string& path, mode_t mode, int& fd) {
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        return failure();
    }
    // Held while the file is being written: a later run removes only unlocked leftovers.
    ::flock(fd, LOCK_EX | LOCK_NB);
    return 0;
}

int SystemDisk::write(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t put = ::write(fd, data, size);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return failure();
        }
        data += put;
        size -= static_cast<std::size_t>(put);
    }
    return 0;
}

int SystemDisk::flushFile(int fd) {
    return ::fsync(fd) == 0 ? 0 : failure();
}

int SystemDisk::close(int fd) {
    return ::close(fd) == 0 ? 0 : failure();
}

int SystemDisk::flushByName(const std::string& path) {
    return flushDescriptorOf(path, O_RDONLY);
}

int SystemDisk::rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : failure();
}

int SystemDisk::renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        return failure();
    }
    // A file system without the no-replace rename: look first, then rename.
    if (::access(to.c_str(), F_OK) == 0) {
        return EEXIST;
    }
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : failure();
}

int SystemDisk::exchange(const std::string& a, const std::string& b) {
    return ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0 ? 0
                                                                                       : failure();
}

int SystemDisk::flushFolder(const std::string& folder) {
    return flushDescriptorOf(folder, O_RDONLY | O_DIRECTORY);
}

int SystemDisk::remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT ? 0 : failure();
}

Disk& disk() {
    return *current.load();
}

DiskInUse::DiskInUse(Disk& replacement) : previous_(current.exchange(&replacement)) {}

DiskInUse::~DiskInUse() {
    current.store(previous_);
}

}  // namespace files

#pragma once

#include <sys/types.h>
#include <cstddef>
#include <string>

// The calls through which the program writes every file of its own (backups, exports,
// reports, the first catalogue) and moves files into place. One seam, so tests can watch
// the order of the steps and make any step fail as a full or read-only disk would.
// Each call answers 0 or an errno value.
namespace files {

class Disk {
  public:
    virtual ~Disk() = default;
    // A new file that was not there before, open for writing; `fd` gets its descriptor.
    virtual int createNew(const std::string& path, mode_t mode, int& fd) = 0;
    // All of `size` bytes, or an error.
    virtual int write(int fd, const char* data, std::size_t size) = 0;
    // The file's contents on the disk.
    virtual int flushFile(int fd) = 0;
    virtual int close(int fd) = 0;
    // A file written by someone else (the engine), flushed by name.
    virtual int flushByName(const std::string& path) = 0;
    // `from` takes the place of `to`, replacing what was there.
    virtual int rename(const std::string& from, const std::string& to) = 0;
    // `from` takes the name `to` only when nothing has it: EEXIST otherwise.
    virtual int renameNoReplace(const std::string& from, const std::string& to) = 0;
    // The two files swap names in one step; EINVAL, ENOSYS or ENOTSUP where the disk cannot.
    virtual int exchange(const std::string& a, const std::string& b) = 0;
    // The folder's list of names on the disk.
    virtual int flushFolder(const std::string& folder) = 0;
    // A missing file is no failure.
    virtual int remove(const std::string& path) = 0;
};

// The operating system's disk.
class SystemDisk : public Disk {
  public:
    int createNew(const std::string& path, mode_t mode, int& fd) override;
    int write(int fd, const char* data, std::size_t size) override;
    int flushFile(int fd) override;
    int close(int fd) override;
    int flushByName(const std::string& path) override;
    int rename(const std::string& from, const std::string& to) override;
    int renameNoReplace(const std::string& from, const std::string& to) override;
    int exchange(const std::string& a, const std::string& b) override;
    int flushFolder(const std::string& folder) override;
    int remove(const std::string& path) override;
};

// The disk every write goes through: the system's, unless a test put another in its place.
Disk& disk();

// Puts `replacement` in use for as long as it lives (tests).
class DiskInUse {
  public:
    explicit DiskInUse(Disk& replacement);
    ~DiskInUse();
    DiskInUse(const DiskInUse&) = delete;
    DiskInUse& operator=(const DiskInUse&) = delete;

  private:
    Disk* previous_;
};

}  // namespace files

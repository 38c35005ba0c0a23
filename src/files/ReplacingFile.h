#pragma once

#include <sys/types.h>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

// Writing a file so that a crash, a full disk or a refusal at any step leaves the file that
// was at its name as it was: the data goes to a new file beside it, which is flushed to the
// disk and then takes the name in one rename, and the folder is flushed. Every step goes
// through files::disk().
namespace files {

// What went wrong, said for the user: the step, the file and the cause in plain words.
class FileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// "Cannot write 'path': the disk is full." and the like.
std::string describeFailure(const std::string& what, const std::string& path, int error);

// Where the file named `path` really lives: `path` itself, or the end of the chain of symbolic
// links it names (a relative link read from its own folder), so that a file is replaced there
// and the link stays. Throws FileError when a link points nowhere or loops, or when the name
// leads to a folder, a pipe or a device.
// `what` begins the sentence that says so.
std::string whereItLives(const std::string& path, const std::string& what = "Cannot write");

// A file being written in the place of `target` (where it lives, through any link). Until commit()
// the target is as it was; a ReplacingFile dropped without commit() removes what it wrote.
class ReplacingFile {
  public:
    // KeepExisting: the file takes the name only when nothing has it yet.
    enum class Placing { Replace, KeepExisting };

    // Removes the leftovers of earlier runs beside `target` first. Throws FileError.
    explicit ReplacingFile(std::string target, Placing placing = Placing::Replace);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Throws FileError.
    void write(std::string_view data);
    // Flushes the file, puts it at the target's name and flushes the folder. False when
    // KeepExisting found the name taken (nothing changed then). Throws FileError.
    bool commit();

    const std::string& target() const { return target_; }
    const std::string& temporary() const { return temporary_; }

  private:
    void abandon();

    std::string target_, lives_, temporary_;
    Placing placing_;
    int fd_ = -1;
    bool placed_ = false;
};

// Copies the file `from` to `to` through a ReplacingFile; false when KeepExisting found `to`
// taken. Throws FileError.
bool copyFile(const std::string& from, const std::string& to,
              ReplacingFile::Placing placing = ReplacingFile::Placing::Replace);

// The folder a path is in ("." for a bare name).
std::string folderOf(const std::string& path);

// The program's temporary files all end so: "Recordings.csv.k3Jx9a.quorvane-part".
inline constexpr std::string_view TemporarySuffix = ".quorvane-part";

// Removes the files of that pattern in `folder`, and the engine's journals beside them ("-journal",
// "-wal", "-shm" after the pattern), that no running program is writing (its lock on the
// temporary file tells).
void removeLeftovers(const std::string& folder);

}  // namespace files

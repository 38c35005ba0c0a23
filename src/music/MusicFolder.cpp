#include "music/MusicFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <set>
#include <utility>

#include "music/TrackReader.h"

namespace music {
namespace {

// The file name endings of audio, and the format each is stored as (five letters at most).
constexpr std::array<std::pair<const char*, const char*>, 12> AudioEndings{{{"mp3", "MP3"},
                                                                            {"flac", "FLAC"},
                                                                            {"ogg", "OGG"},
                                                                            {"oga", "OGG"},
                                                                            {"opus", "OPUS"},
                                                                            {"m4a", "M4A"},
                                                                            {"wma", "WMA"},
                                                                            {"wav", "WAV"},
                                                                            {"aif", "AIFF"},
                                                                            {"aiff", "AIFF"},
                                                                            {"ape", "APE"},
                                                                            {"wv", "WV"}}};
constexpr std::chrono::milliseconds ReadingBound{2000};

// A file name's bytes as the user reads them: bytes that are not UTF-8 are U+FFFD.
QString shown(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString because(const char* what, int error) {
    return QString(what) + " (" + QString::fromLocal8Bit(std::strerror(error)) + ")";
}

// A file beneath the folder scanned, by the bytes of its path from there.
struct Entry {
    std::string path;
    bool file = false;  // a file (or a link to one); otherwise `why` it cannot be read
    dev_t device = 0;
    ino_t inode = 0;
    QString why;
};

class Walk {
  public:
    explicit Walk(const std::function<bool()>& goOn) : goOn_(goOn) {}

    // Every file beneath the folder open as `folder`, which it closes; false when stopped.
    bool into(int folder, const std::string& path) {
        DIR* list = ::fdopendir(folder);
        if (!list) {
            ::close(folder);
            return true;
        }
        std::vector<std::string> names;
        while (const dirent* entry = ::readdir(list)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        for (const std::string& name : names) {
            if (!goOn_() || !look(::dirfd(list), path.empty() ? name : path + "/" + name, name)) {
                ::closedir(list);
                return false;
            }
        }
        ::closedir(list);
        return true;
    }

    std::vector<Entry> entries;
    std::vector<Unread> folders;  // that could not be opened

  private:
    bool look(int parent, const std::string& path, const std::string& name) {
        struct stat named {};
        if (::fstatat(parent, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0) {
            entries.push_back({path, false, 0, 0, because("it cannot be looked at", errno)});
            return true;
        }
        if (S_ISDIR(named.st_mode)) {
            const int folder =
                ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (folder < 0) {
                folders.push_back({shown(path), because("a folder that cannot be opened", errno)});
                return true;
            }
            return into(folder, path);
        }
        Entry entry{path, false, named.st_dev, named.st_ino, {}};
        struct stat target {};
        if (S_ISLNK(named.st_mode)) {
            if (::fstatat(parent, name.c_str(), &target, 0) != 0) {
                entry.why = "it is a link to nothing";
            } else if (S_ISDIR(target.st_mode)) {
                return true;  // links to folders are not followed
            } else {
                named = target;
                entry.device = target.st_dev;
                entry.inode = target.st_ino;
            }
        }
        if (entry.why.isEmpty()) {
            entry.file = S_ISREG(named.st_mode);
            entry.why = entry.file ? QString() : "it is not a file but a pipe or a device";
        }
        entries.push_back(std::move(entry));
        return true;
    }

    const std::function<bool()>& goOn_;
};

// A file beneath `root` opened by its path from there, one folder at a time, so no path is
// too long to reach; a descriptor, or -1 with errno set.
int openBeneath(int root, const std::string& path) {
    int folder = ::dup(root);
    std::size_t from = 0;
    for (std::size_t slash; folder >= 0 && (slash = path.find('/', from)) != std::string::npos;
         from = slash + 1) {
        const int next = ::openat(folder, path.substr(from, slash - from).c_str(),
                                  O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int error = errno;
        ::close(folder);
        folder = next;
        errno = error;
    }
    if (folder < 0) {
        return -1;
    }
    // Without waiting: a pipe put in the file's place since it was looked at opens at once.
    const int file = ::openat(folder, path.substr(from).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const int error = errno;
    ::close(folder);
    errno = error;
    struct stat opened {};
    if (file >= 0 && (::fstat(file, &opened) != 0 || !S_ISREG(opened.st_mode))) {
        ::close(file);
        errno = EINVAL;
        return -1;
    }
    return file;
}

}  // namespace

QString audioFormat(const QString& fileName) {
    const QString ending = QFileInfo(fileName).suffix().toLower();
    for (const auto& [suffix, format] : AudioEndings) {
        if (ending == QLatin1String(suffix)) {
            return format;
        }
    }
    return {};
}

// Progress is told at every file: the scan runs beside the windows, and telling costs
// nothing beside a file's reading.
std::optional<FolderScan> scanMusicFolder(const QString& folder, const ScanProgress& progress) {
    const int root =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    FolderScan scan;
    if (root < 0) {
        scan.unreadable.push_back({QDir(folder).dirName(), because("it cannot be opened", errno)});
        return scan;
    }
    const std::function<bool()> counting = [&] { return progress(0, 0); };
    Walk walk(counting);
    if (!walk.into(::dup(root), {})) {
        ::close(root);
        return std::nullopt;
    }
    std::sort(walk.entries.begin(), walk.entries.end(),
              [](const Entry& a, const Entry& b) { return a.path < b.path; });  // by folder
    scan.unreadable = std::move(walk.folders);
    scan.files = static_cast<std::int64_t>(walk.entries.size());
    std::set<std::pair<dev_t, ino_t>> read;  // a file reached by a link too is read once
    const QString rootName = QDir(folder).dirName();
    for (std::size_t done = 0; done < walk.entries.size(); ++done) {
        if (!progress(static_cast<std::int64_t>(done), scan.files)) {
            ::close(root);
            return std::nullopt;
        }
        const Entry& entry = walk.entries[done];
        const QString relative = shown(entry.path);
        const QString format = audioFormat(relative);
        if (format.isEmpty()) {
            ++scan.passedOver;
            continue;
        }
        if (!entry.file) {
            scan.unreadable.push_back({relative, entry.why});
            continue;
        }
        if (!read.insert({entry.device, entry.inode}).second) {
            continue;
        }
        const int file = openBeneath(root, entry.path);
        if (file < 0) {
            scan.unreadable.push_back({relative, because("it cannot be opened", errno)});
            continue;
        }
        TrackRead got = readTrack(file, entry.path, ReadingBound);
        if (!got.track) {
            scan.unreadable.push_back({relative, got.why});
            continue;
        }
        const QString inFolder = QFileInfo(relative).path();  // "." for the folder itself
        got.track->folder = (inFolder == "." ? rootName : inFolder).toStdString();
        got.track->format = format.toStdString();
        scan.tracks.push_back(std::move(*got.track));
    }
    ::close(root);
    if (!progress(scan.files, scan.files)) {  // a stop asked while the last file was read
        return std::nullopt;
    }
    return scan;
}

}  // namespace music

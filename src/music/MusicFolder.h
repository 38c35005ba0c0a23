#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "music/Albums.h"

namespace music {

// A music file that was not read, and why ("no sound could be read").
struct Unread {
    QString path;  // relative to the folder scanned; bytes that are not UTF-8 shown as U+FFFD
    QString why;
};

// What a look through a music folder and its subfolders found.
struct FolderScan {
    std::vector<Track> tracks;
    std::int64_t files = 0;       // every file seen
    std::int64_t passedOver = 0;  // not audio by their names (covers, playlists, notes)
    // Audio by their names, but not read: no tags or sound in them, not a file (a pipe, a
    // link to nothing), too slow to read; and folders that could not be opened.
    std::vector<Unread> unreadable;
};

// The kind of audio a file name says ("MP3", "FLAC", ...), or empty when it is not audio.
QString audioFormat(const QString& fileName);

// Reads the tags of every audio file under `folder`, whatever bytes their names hold and
// however deep they lie. Links to folders are not followed, so a loop cannot hold it; a file
// reached by a link too is read once. Each file is read for at most a couple of seconds (a
// large file that is not audio can keep a tag reader busy for long): one that takes longer
// is not read, and said so. Hears how many files are read of how many now and then, and
// answers whether to go on: nothing when stopped. Touches no window: it may run on a thread
// of its own.
using ScanProgress = std::function<bool(std::int64_t done, std::int64_t total)>;
std::optional<FolderScan> scanMusicFolder(const QString& folder, const ScanProgress& progress);

}  // namespace music

#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "music/Albums.h"

namespace music {

// What a look through a music folder and its subfolders found.
struct FolderScan {
    std::vector<Track> tracks;
    std::int64_t files = 0;       // every file seen
    std::int64_t passedOver = 0;  // not audio by their names (covers, playlists, notes)
    QStringList unreadable;       // audio by their names, but no tags or sound could be read
};

// The kind of audio a file name says ("MP3", "FLAC", ...), or empty when it is not audio.
QString audioFormat(const QString& fileName);

// Reads the tags of every audio file under `folder` (links to folders are not followed, so
// a loop cannot hold it). Hears how many files are read of how many now and then, and answers
// whether to go on: nothing when stopped.
using ScanProgress = std::function<bool(std::int64_t done, std::int64_t total)>;
std::optional<FolderScan> scanMusicFolder(const QString& folder, const ScanProgress& progress);

}  // namespace music

#include "music/MusicFolder.h"

#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <array>
#include <utility>

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

// A tag's text as the catalogue keeps a text: each run of white space one blank, none at
// either end (a tag of blanks only is no tag).
std::string text(const TagLib::String& value) {
    return QString::fromStdString(value.to8Bit(true)).simplified().toStdString();
}

// "3" or "3/12": the track's number on its disc; 0 when there is none.
int trackNumber(const std::string& value) {
    bool read = false;
    const int number = QString::fromStdString(value).section('/', 0, 0).trimmed().toInt(&read);
    return read && number > 0 ? number : 0;
}

// The first value of a tag, as every format's properties name it (ID3v2 TPE2 and MP4 aART
// are ALBUMARTIST there too).
std::string property(const TagLib::PropertyMap& properties, const char* name) {
    const auto found = properties.find(name);
    return found == properties.end() || found->second.isEmpty() ? std::string()
                                                                : text(found->second.front());
}

// A file is read when it holds sound TagLib can describe: random bytes named .mp3 are not.
std::optional<Track> readTrack(const QString& path) {
    const TagLib::FileRef file(QFile::encodeName(path).constData(), true,
                               TagLib::AudioProperties::Fast);
    if (file.isNull() || !file.file()->isValid() || !file.audioProperties() ||
        file.audioProperties()->sampleRate() <= 0) {
        return std::nullopt;
    }
    Track track;
    const TagLib::PropertyMap properties = file.file()->properties();
    track.artist = property(properties, "ARTIST");
    track.albumArtist = property(properties, "ALBUMARTIST");
    track.album = property(properties, "ALBUM");
    track.genre = property(properties, "GENRE");
    track.number = trackNumber(property(properties, "TRACKNUMBER"));
    return track;
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

// Progress is told every few hundredths of a second: often enough for a window to stay
// painted, seldom enough to cost nothing beside the files' reading.
std::optional<FolderScan> scanMusicFolder(const QString& folder, const ScanProgress& progress) {
    constexpr qint64 TellEveryMs = 25;
    QElapsedTimer sinceTold;  // not started: the first is told at once
    const auto tell = [&](std::int64_t done, std::int64_t total) {
        if (sinceTold.isValid() && sinceTold.elapsed() < TellEveryMs) {
            return true;
        }
        sinceTold.start();
        return progress(done, total);
    };
    const QDir root(folder);
    QStringList files;
    QDirIterator walk(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                      QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        files << walk.next();
        if (!tell(0, 0)) {  // counting a large tree
            return std::nullopt;
        }
    }
    files.sort();  // albums come in the order of their folders
    FolderScan scan;
    scan.files = files.size();
    for (qsizetype done = 0; done < files.size(); ++done) {
        if (!tell(done, files.size())) {
            return std::nullopt;
        }
        const QString& path = files[done];
        const QString format = audioFormat(path);
        if (format.isEmpty()) {
            ++scan.passedOver;
            continue;
        }
        const QString relative = root.relativeFilePath(path);
        auto track = readTrack(path);
        if (!track) {
            scan.unreadable << relative;
            continue;
        }
        const QString inFolder = QFileInfo(relative).path();  // "." for the folder itself
        track->folder = (inFolder == "." ? root.dirName() : inFolder).toStdString();
        track->format = format.toStdString();
        scan.tracks.push_back(std::move(*track));
    }
    progress(files.size(), files.size());
    return scan;
}

}  // namespace music

// A music folder read as albums: 10,000 tracks in 1,000 album folders, their MP3 files written
// by the benchmark itself (ID3v2.3 tags before the frames of a file lame made), read by the
// program against a bare loop reading the same tags with TagLib.
#include <taglib/fileref.h>
#include <taglib/tpropertymap.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>

#include "BenchSupport.h"
#include "music/MusicFolder.h"

namespace bench {
namespace {

constexpr int Albums = 1000, TracksPerAlbum = 10;

QByteArray bigEndian(quint32 value, bool syncSafe) {
    QByteArray bytes(4, '\0');
    for (int i = 3; i >= 0; --i) {
        bytes[i] = static_cast<char>(value & (syncSafe ? 0x7F : 0xFF));
        value >>= syncSafe ? 7 : 8;
    }
    return bytes;
}

// A text frame in UTF-16 with its byte order mark.
QByteArray textFrame(const char* id, const QString& text) {
    QByteArray body("\x01\xFF\xFE", 3);
    body.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return QByteArray(id) + bigEndian(static_cast<quint32>(body.size()), false) +
           QByteArray(2, '\0') + body;
}

// The MPEG frames of a file lame made, without its tag.
QByteArray audioFrames() {
    QFile file(QUORVANE_MUSIC_DIR "/Low/CD1/01.mp3");
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    quint32 tagSize = 0;
    for (int i = 6; i < 10; ++i) {
        tagSize = (tagSize << 7) | static_cast<quint8>(bytes[i]);
    }
    return bytes.mid(static_cast<qsizetype>(10 + tagSize));
}

// The folder of albums, made once and kept with the generated catalogues. Every tenth album
// has no album artist tag, every fiftieth is a compilation.
QString musicFolder() {
    const QString folder =
        QCoreApplication::applicationDirPath() + "/../bench-data/music-" + QString::number(Albums);
    if (QFile::exists(folder + "/done")) {
        return folder;
    }
    QDir(folder).removeRecursively();
    const QByteArray audio = audioFrames();
    for (int album = 0; album < Albums; ++album) {
        const QString artist = QString("Bjørn Ærø %1").arg(album);
        const QString dir = QString("%1/%2/Album %3").arg(folder, artist).arg(album);
        QDir().mkpath(dir);
        for (int track = 0; track < TracksPerAlbum; ++track) {
            QByteArray frames =
                textFrame("TPE1", album % 50 == 0 ? QString("Guest %1").arg(track) : artist) +
                textFrame("TALB", QString("Album %1").arg(album)) +
                textFrame("TIT2", QString("Track %1").arg(track)) +
                textFrame("TCON", track % 3 ? "Rock" : "Jazz");
            if (album % 10 != 0) {
                frames += textFrame("TPE2", artist);
            }
            QFile file(QString("%1/%2.mp3").arg(dir).arg(track, 2, 10, QChar('0')));
            file.open(QIODevice::WriteOnly);
            file.write("ID3\x03\x00\x00", 6);
            file.write(bigEndian(static_cast<quint32>(frames.size()), true));
            file.write(frames);
            file.write(audio);
        }
    }
    QFile done(folder + "/done");
    done.open(QIODevice::WriteOnly);
    return folder;
}

// The bare work: every file listed, its sound described and its four tags read.
std::int64_t readTagsBare(const QString& folder) {
    std::int64_t read = 0;
    QDirIterator walk(folder, {"*.mp3"}, QDir::Files, QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        const TagLib::FileRef file(QFile::encodeName(walk.next()).constData(), true,
                                   TagLib::AudioProperties::Fast);
        if (file.isNull() || !file.audioProperties()) {
            continue;
        }
        const TagLib::PropertyMap tags = file.file()->properties();
        for (const char* name : {"ARTIST", "ALBUMARTIST", "ALBUM", "GENRE"}) {
            read += tags.contains(name) ? 1 : 0;
        }
    }
    return read;
}

void ScanMusicFolder(benchmark::State& state) {
    const QString folder = musicFolder();
    RatioTimer timer;
    std::size_t albums = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(readTagsBare(folder));
        const auto t1 = Clock::now();
        const auto scan = music::scanMusicFolder(folder, [](std::int64_t, std::int64_t) {
            QCoreApplication::processEvents();
            return true;
        });
        albums = music::albumsOf(scan->tracks).size();
        const auto t2 = Clock::now();
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
    state.counters["albums"] = static_cast<double>(albums);
}

}  // namespace

QString generatedMusicFolder() {
    return musicFolder();
}

BENCHMARK(ScanMusicFolder)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace bench

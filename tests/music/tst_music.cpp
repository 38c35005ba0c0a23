// A music folder read as albums: the grouping rules as one table of tracks, and a folder of
// files made by the encoders' own taggers (tests/data/music/make.sh) read through.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QtTest>

#include "music/Albums.h"
#include "music/MusicFolder.h"

using music::Track;

namespace {

// An album as "Artist|Title|Category|Format", a missing text empty, "(folder)" after a title
// taken from a folder, and its tracks.
QString shown(const music::Album& album) {
    QStringList texts;
    for (const auto& text : album.texts) {
        texts << (text ? QString::fromStdString(*text) : QString());
    }
    return texts.join('|') + (album.namedByFolder ? " (folder)" : "") + " x" +
           QString::number(album.tracks);
}

QStringList shown(const std::vector<music::Album>& albums) {
    QStringList all;
    for (const auto& album : albums) {
        all << shown(album);
    }
    return all;
}

QStringList paths(const std::vector<music::Unread>& files) {
    QStringList all;
    for (const auto& file : files) {
        all << file.path;
    }
    return all;
}

// A file of the given bytes at `path` (bytes, not text: names need not be UTF-8).
void put(const QByteArray& path, const QByteArray& bytes) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())), bytes.size());
    ::close(fd);
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

Q_DECLARE_METATYPE(std::vector<Track>)

class TestMusic : public QObject {
    Q_OBJECT

  private slots:
    void tracksAreGatheredIntoAlbums_data() {
        QTest::addColumn<std::vector<Track>>("tracks");
        QTest::addColumn<QStringList>("albums");
        // artist, album artist, album, genre, folder, format
        QTest::newRow("one artist, the genre most tracks carry")
            << std::vector<Track>{{"Björk", "", "Homogenic", "Pop", "a", "MP3"},
                                  {"BJÖRK", "", "homogenic", "Electronic", "a", "MP3"},
                                  {"Bjo\u0308rk", "", "Homogenic", "Electronic", "a", "MP3"}}
            << QStringList{"Björk|Homogenic|Electronic|MP3 x3"};
        QTest::newRow("the album artist stands, over folders")
            << std::vector<Track>{{"Sigur Rós feat. X", "Sigur Rós", "Takk", "", "cd1", "FLAC"},
                                  {"Sigur Rós", "Sigur Rós", "Takk", "Rock", "cd2", "FLAC"}}
            << QStringList{"Sigur Rós|Takk|Rock|FLAC x2"};
        QTest::newRow("a compilation in one folder")
            << std::vector<Track>{{"Enya", "", "Pure Moods", "New Age", "v", "OGG"},
                                  {"Enigma", "", "Pure Moods", "New Age", "v", "OGG"}}
            << QStringList{"Various Artists|Pure Moods|New Age|OGG x2"};
        QTest::newRow("the same album name by two artists apart")
            << std::vector<Track>{{"Queen", "", "Greatest Hits", "Rock", "q", "MP3"},
                                  {"ABBA", "", "Greatest Hits", "Pop", "a", "MP3"}}
            << QStringList{"Queen|Greatest Hits|Rock|MP3 x1", "ABBA|Greatest Hits|Pop|MP3 x1"};
        QTest::newRow("no album tag: by folder")
            << std::vector<Track>{{"Grandma", "", "", "Folk", "Tapes/Side A", "MP3"},
                                  {"Grandpa", "", "", "", "Tapes/Side A", "WAV"},
                                  {"Grandma", "", "", "", "Tapes/Side B", "MP3"}}
            << QStringList{"Various Artists|Side A|Folk|MP3 (folder) x2",
                           "Grandma|Side B||MP3 (folder) x1"};
        QTest::newRow("no tags at all") << std::vector<Track>{{"", "", "", "", "Rips", "WAV"}}
                                        << QStringList{"|Rips||WAV (folder) x1"};
        // artist, album artist, album, genre, folder, format, number
        QTest::newRow("a compilation over two discs' folders")
            << std::vector<Track>{{"Ann", "", "Big Hits", "Pop", "Hits/CD1", "MP3", 1},
                                  {"Bob", "", "Big Hits", "Pop", "Hits/CD1", "MP3", 2},
                                  {"Cat", "", "Big Hits", "Pop", "Hits/CD2", "MP3", 1},
                                  {"Bob", "", "Big Hits", "Pop", "Hits/CD2", "MP3", 2}}
            << QStringList{"Various Artists|Big Hits|Pop|MP3 x4"};
        QTest::newRow("an album artist on some tracks only")
            << std::vector<Track>{{"A", "", "Mixed Album", "", "m/Disc 1", "MP3", 1},
                                  {"B", "", "Mixed Album", "", "m/Disc 1", "MP3", 2},
                                  {"A", "Mixed Artist", "Mixed Album", "", "m/Disc 2", "MP3", 1}}
            << QStringList{"Mixed Artist|Mixed Album||MP3 x3"};
        QTest::newRow("two artists' albums of one name in one folder")
            << std::vector<Track>{{"ABBA", "", "Greatest Hits", "Pop", "gh", "MP3", 1},
                                  {"Queen", "", "Greatest Hits", "Rock", "gh", "MP3", 1},
                                  {"ABBA", "", "Greatest Hits", "Pop", "gh", "MP3", 2},
                                  {"Queen", "", "Greatest Hits", "Rock", "gh", "MP3", 2}}
            << QStringList{"ABBA|Greatest Hits|Pop|MP3 x2", "Queen|Greatest Hits|Rock|MP3 x2"};
        QTest::newRow("a compilation's artists share one numbering")
            << std::vector<Track>{{"Enya", "", "Pure Moods", "", "v", "OGG", 1},
                                  {"Enigma", "", "Pure Moods", "", "v", "OGG", 2},
                                  {"Enya", "", "Pure Moods", "", "v", "OGG", 3}}
            << QStringList{"Various Artists|Pure Moods||OGG x3"};
        QTest::newRow("a guest on one track")
            << std::vector<Track>{{"Daft Punk", "", "RAM", "", "r", "FLAC", 1},
                                  {"Daft Punk feat. Pharrell Williams", "", "RAM", "", "r", "FLAC",
                                   2},
                                  {"Daft Punk (ft. Julian Casablancas)", "", "RAM", "", "r", "FLAC",
                                   3},
                                  {"Little Feat", "", "Dixie Chicken", "", "lf", "FLAC", 1}}
            << QStringList{"Daft Punk|RAM||FLAC x3", "Little Feat|Dixie Chicken||FLAC x1"};
        QTest::newRow("a disc named in the album tag")
            << std::vector<Track>{{"The Beatles", "", "The White Album (Disc 1)", "", "w1", "MP3"},
                                  {"The Beatles", "", "The White Album [CD2]", "", "w2", "MP3"},
                                  {"Abcd", "", "Abcd 2", "", "x", "MP3"}}
            << QStringList{"The Beatles|The White Album||MP3 x2", "Abcd|Abcd 2||MP3 x1"};
    }
    void tracksAreGatheredIntoAlbums() {
        QFETCH(std::vector<Track>, tracks);
        QFETCH(QStringList, albums);
        QCOMPARE(shown(music::albumsOf(tracks)), albums);
    }

    // Files made by lame, flac and oggenc, nested, with a cover, notes, noise and a file cut
    // short beside them.
    void aFolderOfMusicIsReadAsAlbums() {
        std::int64_t lastTotal = -1;
        const auto scan =
            music::scanMusicFolder(QUORVANE_MUSIC_DIR, [&](std::int64_t, std::int64_t total) {
                lastTotal = total;
                return true;
            });
        QVERIFY(scan);
        QCOMPARE(scan->files, 16);
        QCOMPARE(lastTotal, 16);
        QCOMPARE(scan->passedOver, 2);
        QCOMPARE(paths(scan->unreadable),
                 (QStringList{"Sigur Rós/cut short.flac", "Various/noise.mp3"}));
        QCOMPARE(
            shown(music::albumsOf(scan->tracks)),
            (QStringList{"Air|Moon Safari|Electronic|MP3 x1", "Björk|Homogenic|Pop|MP3 x3",
                         "David Bowie|Low|Rock|MP3 x2", "Sigur Rós|Ágætis byrjun|Post-Rock|FLAC x3",
                         "Grandma|Tapes From Grandma|Folk|MP3 (folder) x1",
                         "Various Artists|Pure Moods|New Age|OGG x2"}));
        // Tags of blanks only are no tags: the folder names the album, the artist stands.
        const auto odd = music::scanMusicFolder(QUORVANE_MUSIC_DIR "/../odd",
                                                [](std::int64_t, std::int64_t) { return true; });
        QCOMPARE(shown(music::albumsOf(odd->tracks)),
                 QStringList{"Nick Drake|Pink Moon||MP3 (folder) x1"});
        // Stopped: nothing.
        QVERIFY(!music::scanMusicFolder(QUORVANE_MUSIC_DIR,
                                        [](std::int64_t, std::int64_t) { return false; }));
    }

    // Files no tag reader can be trusted with, and names and places a plain walk loses: each
    // is read or said, never lost, and the scan ends within seconds.
    void oddFilesAreReadOrSaid() {
        QTemporaryDir dir;
        const QByteArray top = QFile::encodeName(dir.path()) + "/";
        const QByteArray track = contents(QUORVANE_MUSIC_DIR "/Air/Moon Safari/01.mp3");
        QVERIFY(::mkdir(top + "Caf\xe9", 0755) == 0);
        put(top + "Caf\xe9/01.mp3", track);  // Latin-1 bytes in the names
        put(top + "\xff\xfe-bad.mp3", track);
        // 200 folders of 30 letters, made one from the other: over 6,000 bytes of path.
        int at = ::open(top, O_RDONLY | O_DIRECTORY);
        for (int level = 0; level < 200; ++level) {
            const QByteArray name(30, char('a' + level % 26));
            ::mkdirat(at, name, 0755);
            const int next = ::openat(at, name, O_RDONLY | O_DIRECTORY);
            ::close(at);
            at = next;
        }
        const int deepFile = ::openat(at, "deep.mp3", O_WRONLY | O_CREAT, 0644);
        QCOMPARE(::write(deepFile, track.constData(), static_cast<size_t>(track.size())),
                 track.size());
        ::close(deepFile);
        ::close(at);
        QVERIFY(::symlink("Caf\xe9/01.mp3", top + "link.mp3") == 0);  // read once
        QVERIFY(::symlink("nowhere.mp3", top + "broken.mp3") == 0);
        QVERIFY(::mkfifo(top + "track.mp3", 0644) == 0);
        QFile big(dir.filePath("big.mp3"));  // a download not yet written: zeros
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(300 << 20));
        big.close();
        QVERIFY(QFile::copy(QUORVANE_MUSIC_DIR "/../odd/Empty/headers.ogg", dir.filePath("h.ogg")));
        QElapsedTimer took;
        took.start();
        const auto scan =
            music::scanMusicFolder(dir.path(), [](std::int64_t, std::int64_t) { return true; });
        QVERIFY(took.elapsed() < 10000);
        QVERIFY(scan);
        QCOMPARE(scan->tracks.size(), std::size_t(3));
        QStringList unread;
        for (const auto& file : scan->unreadable) {
            unread << file.path + ": " + file.why.section(' ', 0, 3);
        }
        QCOMPARE(unread, (QStringList{"big.mp3: it took more than", "broken.mp3: it is a link",
                                      "h.ogg: no sound could be", "track.mp3: it is not a"}));
        QStringList folders;
        for (const auto& read : scan->tracks) {
            folders << QString::fromStdString(read.folder).left(12);
        }
        QStringList expected{QFileInfo(dir.path()).fileName().left(12), "Caf\uFFFD",
                             QString(12, 'a')};
        folders.sort();
        expected.sort();
        QCOMPARE(folders, expected);
    }
};

QTEST_GUILESS_MAIN(TestMusic)
#include "tst_music.moc"

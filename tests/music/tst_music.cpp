// A music folder read as albums: the grouping rules as one table of tracks, and a folder of
// files made by the encoders' own taggers (tests/data/music/make.sh) read through.
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
        QCOMPARE(scan->unreadable, (QStringList{"Sigur Rós/cut short.flac", "Various/noise.mp3"}));
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
};

QTEST_GUILESS_MAIN(TestMusic)
#include "tst_music.moc"

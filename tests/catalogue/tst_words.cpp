// Finding records by the words they contain: the rules a user types by, as one table, and the
// word index following every writer of the file.
#include <QtTest>

#include "catalogue/Catalogue.h"
#include "catalogue/Orders.h"
#include "catalogue/Words.h"
#include "support/TestCatalogue.h"

using testing::TestCatalogue;
namespace catalogue = db::catalogue;

namespace {

std::vector<TestCatalogue::Row> collection() {
    return {{"Björk", "Homogenic", "Pop", "CD"},
            {"Sigur Rós", "Ágætis byrjun", "Post-Rock", "LP"},
            {"ＡＢＢＡ", "Arrival", "Pop", "CD"},
            {"Шостакович", "Симфония № 5", "Classical", "CD"},
            {"東京事変", "教育", "Rock", db::Value()},
            {"O'Connor, Sinéad", "I Do Not Want", "Folk", db::Value()},
            {"Air", "Moon Safari", "Electronic", "CD"},
            {"Łódź Ærø Ensemble", "Œuvres", "Chamber", "Tape"},
            {"Guns N’ Roses", "Appetite — Live", "Rock", db::Value()},
            {"Işık", "فيـروز", "Pop", db::Value()},
            {db::Value(), "Untitled moon", "Jazz", "LP"}};
}

// The artists (or titles, for a record without one) of the records found, in row id order.
QStringList found(db::Connection& connection, const QString& typed) {
    QStringList names;
    const auto ids =
        catalogue::recordsWithWords(connection, catalogue::searchWords(typed.toStdString()));
    for (const std::int64_t id : ids) {
        db::Statement name(connection, "SELECT coalesce(Artist, Title) FROM Main WHERE rowid = ?");
        name.bind(1, db::Value(id));
        names << (name.step() ? QString::fromStdString(std::string(*name.textColumn(0))) : "?");
    }
    return names;
}

// A first screen of two walking the records backwards holds the last two of every record
// found.
void checkFirstScreen(db::Connection& connection, const QString& typed) {
    const auto words = catalogue::searchWords(typed.toStdString());
    const auto all = catalogue::recordsWithWords(connection, words);
    std::vector<std::int64_t> backwards;
    db::Statement ids(connection, "SELECT rowid FROM Main ORDER BY rowid DESC");
    while (ids.step()) {
        backwards.push_back(ids.integerColumn(0));
    }
    const std::vector<std::int64_t> lastTwo(all.end() - std::min<std::ptrdiff_t>(2, all.size()),
                                            all.end());
    QCOMPARE(catalogue::firstRecordsWithWords(connection, words, backwards, 2), lastTwo);
}

// As an import of every record leaves them: in their orders, waiting for the word index.
void leaveEveryRecordWaiting(db::Connection& connection) {
    catalogue::bringOrdersTrue(connection);
    db::Transaction transaction(connection);
    catalogue::emptyWordIndex(connection, "main");
    catalogue::leaveWordsFrom(connection, 1);
    connection.execute("UPDATE OrderState SET Stale = 0");  // the program's own write
    transaction.commit();
}

// Indexes the waiting records a few at a time, as the program does while idle.
void indexEveryWaitingRecord(db::Connection& connection) {
    while (catalogue::indexWaitingWords(connection, 3) == catalogue::WordsWaiting::More) {
    }
    QVERIFY(!catalogue::wordsWaitFrom(connection, "main"));
}

}  // namespace

class TestWords : public QObject {
    Q_OBJECT

  private slots:
    void wordsAreFoundAsTheyAreTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("artists");
        const QStringList none;
        QTest::newRow("accent dropped") << "bjork" << QStringList{"Björk"};
        QTest::newRow("capitals, accent") << "ROS" << QStringList{"Sigur Rós", "Guns N’ Roses"};
        QTest::newRow("full width") << "abba" << QStringList{"ＡＢＢＡ"};
        QTest::newRow("letters without accents to drop")
            << "lodz aero oeuvres" << QStringList{"Łódź Ærø Ensemble"};
        QTest::newRow("in any field") << "moon" << QStringList{"Air", "Untitled moon"};
        QTest::newRow("every word, any field") << "moon jazz" << QStringList{"Untitled moon"};
        QTest::newRow("in its column only") << "artist:moon" << none;
        QTest::newRow("title prefix, capitals")
            << "TITLE:moon" << QStringList{"Air", "Untitled moon"};
        QTest::newRow("quoted, one word") << "\"moon safari\"" << QStringList{"Air"};
        QTest::newRow("quoted in a column")
            << "title:\"t want\"" << QStringList{"O'Connor, Sinéad"};
        QTest::newRow("quoted words apart") << "\"safari moon\"" << none;
        QTest::newRow("Cyrillic, capitals") << "ШОСТАК" << QStringList{"Шостакович"};
        QTest::newRow("two letters, kanji") << "教育" << QStringList{"東京事変"};
        QTest::newRow("apostrophe") << "o'connor" << QStringList{"O'Connor, Sinéad"};
        QTest::newRow("two letters, any field")
            << "cd" << QStringList{"Björk", "ＡＢＢＡ", "Шостакович", "Air"};
        QTest::newRow("short in a column, long anywhere")
            << "format:cd pop" << QStringList{"Björk", "ＡＢＢＡ"};
        QTest::newRow("one letter") << "5" << QStringList{"Шостакович"};
        QTest::newRow("a letter as two") << "Æ" << QStringList{"Sigur Rós", "Łódź Ærø Ensemble"};
        QTest::newRow("a prefix no column has") << "year:1997" << none;
        QTest::newRow("a quote in a word") << "o\"c" << none;
        QTest::newRow("nothing but blanks") << "   " << none;
        // What users type for what the texts hold: one apostrophe, quote and dash for all,
        // joiners and the tatweel nothing, the dotless i an i.
        QTest::newRow("straight for curly apostrophe")
            << "guns n' roses" << QStringList{"Guns N’ Roses"};
        QTest::newRow("curly for straight apostrophe")
            << "O’CONNOR" << QStringList{"O'Connor, Sinéad"};
        QTest::newRow("a hyphen for a dash") << "appetite - live" << QStringList{"Guns N’ Roses"};
        QTest::newRow("dotless i") << "ışık" << QStringList{"Işık"};
        QTest::newRow("dotless i, capitals") << "IŞIK" << QStringList{"Işık"};
        QTest::newRow("without the tatweel") << "فيروز" << QStringList{"Işık"};
        QTest::newRow("curly quotes around words") << "“sigur rós”" << QStringList{"Sigur Rós"};
    }
    void wordsAreFoundAsTheyAreTyped() {
        QFETCH(QString, typed);
        QFETCH(QStringList, artists);
        TestCatalogue file(collection());
        db::Connection connection;
        connection.open(file.path().toStdString());
        QCOMPARE(found(connection, typed), artists);
        checkFirstScreen(connection, typed);
        leaveEveryRecordWaiting(connection);  // found in their texts
        QCOMPARE(found(connection, typed), artists);
        checkFirstScreen(connection, typed);
    }

    void typedWordsAreSplitByBlanksQuotesAndPrefixes() {
        using Word = catalogue::SearchWord;
        QCOMPARE(catalogue::searchWords("artist:\"Sigur Rós\"  title:X y\tFormat:"),
                 (std::vector<Word>{{"sigur ros", 0}, {"x", 1}, {"y", -1}}));
        QCOMPARE(catalogue::searchWords("\"unclosed quote"),
                 (std::vector<Word>{{"unclosed quote", -1}}));
        // A word typed again is looked for once, however often: a long text of few words.
        QCOMPARE(catalogue::searchWords(QString("rock ROCK ").repeated(400).toStdString() +
                                        "title:rock"),
                 (std::vector<Word>{{"rock", -1}, {"rock", 1}}));
    }

    // Whoever writes the file, the next search finds the records as they are now.
    void theIndexFollowsEveryWriter_data() {
        QTest::addColumn<QString>("stockSql");
        QTest::addColumn<bool>("deleteAll");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("artists");
        QTest::newRow("stock insert")
            << "INSERT INTO Main VALUES ('Mazzy Star', 'Fade Into You', 'Rock', 'CD')" << false
            << "fade" << QStringList{"Mazzy Star"};
        QTest::newRow("stock update")
            << "UPDATE Main SET Title = 'Vespertine' WHERE Artist = 'Björk'" << false
            << "homogenic vespertine" << QStringList{};
        QTest::newRow("stock update, new text")
            << "UPDATE Main SET Title = 'Vespertine' WHERE Artist = 'Björk'" << false << "vesper"
            << QStringList{"Björk"};
        QTest::newRow("stock delete") << "DELETE FROM Main WHERE Artist = 'Air'" << false << "moon"
                                      << QStringList{"Untitled moon"};
        QTest::newRow("stock compaction renumbers")
            << "DELETE FROM Main WHERE rowid = 1; VACUUM; UPDATE Main SET Title = 'Moonlight' "
               "WHERE Artist = 'Шостакович'"
            << false << "moon" << QStringList{"Шостакович", "Air", "Untitled moon"};
        QTest::newRow("the program's own write")
            << "program: UPDATE Main SET Title = 'Moonlight' WHERE Artist = 'ＡＢＢＡ'" << false
            << "moon" << QStringList{"ＡＢＢＡ", "Air", "Untitled moon"};
        QTest::newRow("delete all") << "" << true << "o" << QStringList{};
        QTest::newRow("stock command emptying the index")
            << "INSERT INTO RecordWords (RecordWords) VALUES ('delete-all')" << false << "moon"
            << QStringList{"Air", "Untitled moon"};
        QTest::newRow("stock edit of the waiting note")
            << "DELETE FROM WordsToIndex" << false << "moon" << QStringList{"Air", "Untitled moon"};
        // Changed twice, or added then changed, before the program placed it: the index had
        // the texts of the first note only.
        QTest::newRow("stock update twice")
            << "UPDATE Main SET Title = 'First Light' WHERE Artist = 'Björk'; UPDATE Main SET "
               "Title = 'Second Sun' WHERE Artist = 'Björk'"
            << false << "sun" << QStringList{"Björk"};
        QTest::newRow("stock update twice, the middle text")
            << "UPDATE Main SET Title = 'First Light' WHERE Artist = 'Björk'; UPDATE Main SET "
               "Title = 'Second Sun' WHERE Artist = 'Björk'"
            << false << "light" << QStringList{};
        QTest::newRow("stock update twice, the text before")
            << "UPDATE Main SET Title = 'First Light' WHERE Artist = 'Björk'; UPDATE Main SET "
               "Title = 'Second Sun' WHERE Artist = 'Björk'"
            << false << "homogenic" << QStringList{};
        QTest::newRow("stock insert then update")
            << "INSERT INTO Main VALUES ('Nico', 'Chelsea Girl', 'Folk', 'LP'); UPDATE Main SET "
               "Title = 'Desertshore' WHERE Artist = 'Nico'"
            << false << "desert chelsea" << QStringList{};
    }
    // Also with every record waiting for the index when the writer comes, then indexed.
    void theIndexFollowsEveryWriter() {
        QFETCH(QString, stockSql);
        QFETCH(bool, deleteAll);
        QFETCH(QString, typed);
        QFETCH(QStringList, artists);
        for (const bool waiting : {false, true}) {
            TestCatalogue file(collection());
            db::Connection connection;
            connection.open(file.path().toStdString());
            catalogue::prepareOrders(connection);
            if (waiting) {
                leaveEveryRecordWaiting(connection);
            }
            QVERIFY(!found(connection, "moon").isEmpty());  // looked at once before the change
            if (stockSql.startsWith("program: ")) {         // on the connection the search reads
                connection.execute(stockSql.mid(9).toStdString());
            } else if (!stockSql.isEmpty()) {
                QCOMPARE(testing::stockTool(file.path(), stockSql), QString());
            }
            if (deleteAll) {
                db::Transaction transaction(connection);
                catalogue::deleteEveryRecord(connection);
                transaction.commit();
            }
            QCOMPARE(found(connection, typed), artists);
            indexEveryWaitingRecord(connection);
            QCOMPARE(found(connection, typed), artists);
            QVERIFY(catalogue::ordersAgree(connection));
            QCOMPARE(testing::stockTool(file.path(), "PRAGMA integrity_check"), QString("ok"));
            QCOMPARE(testing::stockTool(
                         file.path(),
                         "INSERT INTO RecordWords (RecordWords) VALUES ('integrity-check')"),
                     QString());
        }
    }

    // A catalogue that cannot be written, with a word index of another collation's orders,
    // is searched through the session's own index, which follows another program's writes.
    void aReadOnlyCatalogueIsSearchedThroughTheSessionsIndex() {
        TestCatalogue file(collection());
        testing::stockTool(file.path(), "UPDATE OrderState SET Collation = 'another'");
        std::optional<testing::Unwritable> lock(std::in_place, file.path());
        if (!lock->took()) {
            QSKIP("this user cannot take the right to write away");
        }
        db::Connection connection;
        connection.open(file.path().toStdString());
        QVERIFY(connection.isReadOnly());
        QCOMPARE(found(connection, "moon"), (QStringList{"Air", "Untitled moon"}));
        QVERIFY(catalogue::readsSessionIndex(connection));
        lock.reset();
        QCOMPARE(testing::stockTool(file.path(), "DELETE FROM Main WHERE Artist = 'Air'"),
                 QString());
        QCOMPARE(found(connection, "moon"), QStringList{"Untitled moon"});
    }

    // Records added many at once (an import) take their places in the orders at once and in
    // the word index a step at a time later; they are found all along.
    void recordsAddedManyAtOnceAreFound() {
        TestCatalogue file(collection());
        db::Connection connection;
        connection.open(file.path().toStdString());
        db::Transaction transaction(connection);
        const auto first = catalogue::beginAddingMany(connection, 2);
        QVERIFY(first);
        connection.execute(
            "INSERT INTO Main VALUES ('Nico', 'Chelsea Girl', 'Folk', 'LP'), "
            "('Can', 'Tago Mago', 'Krautrock', 'LP')");
        catalogue::placeAddedRecords(connection, *first);
        transaction.commit();
        QCOMPARE(catalogue::wordsWaitFrom(connection, "main"), first);
        QCOMPARE(found(connection, "folk"), (QStringList{"O'Connor, Sinéad", "Nico"}));
        QVERIFY(catalogue::ordersAgree(connection));
        QCOMPARE(catalogue::indexWaitingWords(connection, 1), catalogue::WordsWaiting::More);
        QCOMPARE(found(connection, "folk lp"), QStringList{"Nico"});
        // Another program holds the file: the step waits for another time.
        testing::FileLock hold(file.path());
        QCOMPARE(catalogue::indexWaitingWords(connection, 1), catalogue::WordsWaiting::Held);
    }
};

QTEST_GUILESS_MAIN(TestWords)
#include "tst_words.moc"

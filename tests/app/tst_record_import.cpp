// Reading a CSV file of records: the header, the delimiter, the refusals, the preview's
// counts, and the insert in one transaction.
#include <sys/stat.h>
#include <QtTest>

#include "app/transfer/DiscogsExport.h"
#include "app/transfer/RecordImport.h"
#include "catalogue/Orders.h"
#include "sqlite/DbError.h"
#include "support/OrderChecks.h"
#include "support/TestCatalogue.h"

using app::ImportRefused;
using app::RecordImport;
using testing::TestCatalogue;

namespace {

QString shown(const RecordImport::Texts& texts) {
    QStringList fields;
    for (const auto& text : texts) {
        fields << (text ? QString::fromStdString(*text) : "<null>");
    }
    return fields.join('|');
}

QStringList shown(const std::vector<RecordImport::Texts>& records) {
    QStringList list;
    for (const auto& texts : records) {
        list << shown(texts);
    }
    return list;
}

QStringList rowsOf(TestCatalogue& catalogue) {
    return catalogue.column(
        "SELECT coalesce(Artist, '<null>') || '|' || coalesce(Title, '<null>') || '|' || "
        "coalesce(Category, '<null>') || '|' || coalesce(Format, '<null>') FROM Main ORDER BY "
        "rowid");
}

// Whether the file is whole, the four orders and their triggers there, and every record in
// its places once those written since are placed (none may wait after a bulk import).
void checkOrderIsWhole(TestCatalogue& catalogue, bool noneWaiting) {
    QCOMPARE(catalogue.column("PRAGMA integrity_check"), QStringList{"ok"});
    QCOMPARE(catalogue.column(testing::OrderObjectsSql), QStringList{"6,18"});
    if (noneWaiting) {
        QCOMPARE(catalogue.column("SELECT count(*) FROM OrderNotes"), QStringList{"0"});
    }
    db::Connection connection;
    connection.open(catalogue.path().toStdString());
    db::catalogue::bringOrdersTrue(connection);
    db::Statement misplaced(connection, testing::misplacedSql());
    QVERIFY(misplaced.step());
    QCOMPARE(misplaced.integerColumn(0), 0);
}

}  // namespace

class TstRecordImport : public QObject {
    Q_OBJECT
  private slots:
    // The delimiter is the one that splits the header into known names; names in any
    // case and order, unknown columns left out, missing ones Null, a BOM skipped.
    void headerFindsTheColumns_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("delimiter");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QStringList>("ignored");
        QTest::newRow("comma") << QByteArray("Artist,Title,Category,Format\r\nA,T,C,F\r\n")
                               << "comma"
                               << "A|T|C|F" << QStringList();
        QTest::newRow("semicolon, commas in the values")
            << QByteArray("artist;TITLE;Category;format\nA, B;T, U;C;F\n") << "semicolon"
            << "A, B|T, U|C|F" << QStringList();
        QTest::newRow("tab, reordered, extra column")
            << QByteArray("Year\tFormat\tTitle\tArtist\n1977\tLP\tRumours\tFleetwood Mac\n")
            << "tab"
            << "Fleetwood Mac|Rumours|<null>|LP" << QStringList{"Year"};
        QTest::newRow("BOM, blanks around names")
            << QByteArray("\xEF\xBB\xBF Artist , Title\nA,T\n") << "comma"
            << "A|T|<null>|<null>" << QStringList();
        QTest::newRow("quoted header, unnamed columns")
            << QByteArray("\"Artist\",\"Title\",,\n\"A\",\"\",,\n") << "comma"
            << "A||<null>|<null>" << QStringList();
    }
    void headerFindsTheColumns() {
        QFETCH(QByteArray, file);
        QFETCH(QString, delimiter);
        QFETCH(QString, first);
        QFETCH(QStringList, ignored);
        TestCatalogue catalogue;
        db::Connection connection;
        connection.open(catalogue.path().toStdString());
        const RecordImport import = RecordImport::fromBytes(file.toStdString());
        QCOMPARE(import.delimiterName(), delimiter);
        QCOMPARE(import.ignoredColumns(), ignored);
        const auto preview = import.preview(connection, {});
        QVERIFY(preview);
        QCOMPARE(preview->rows, 1);
        QCOMPARE(shown(preview->first), QStringList{first});
    }

    void filesThatAreNotRecordsAreRefused_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("what");
        QTest::newRow("empty") << QByteArray() << 0 << "empty";
        QTest::newRow("BOM and line breaks only")
            << QByteArray("\xEF\xBB\xBF\r\n\r\n") << 0 << "empty";
        QTest::newRow("binary") << QByteArray("Artist\nA\n\x89PNG\0\0", 15) << 3 << "zero byte";
        QTest::newRow("unterminated quote")
            << QByteArray("Artist,Title\nA,B\nC,\"Never\nclosed\n") << 3 << "never closed";
        QTest::newRow("text after a quote")
            << QByteArray("Artist,Title\nA,\"B\"x\n") << 2 << "closing quote";
        QTest::newRow("binary without a zero")
            << QByteArray("Artist\nA\nB\x01\x02\xF6\x9E\n") << 3 << "control characters";
        // Read in a wide encoding, a binary file still holds zeros.
        QTest::newRow("UTF-16, binary") << QByteArray(
                                               "\xFF\xFE"
                                               "A\0\n\0\0\0\x01\0",
                                               10)
                                        << 2 << "zero byte";
    }
    void filesThatAreNotRecordsAreRefused() {
        QFETCH(QByteArray, file);
        QFETCH(int, line);
        QFETCH(QString, what);
        TestCatalogue catalogue;
        db::Connection connection;
        connection.open(catalogue.path().toStdString());
        try {
            RecordImport::fromBytes(file.toStdString()).preview(connection, {});
            QFAIL("accepted");
        } catch (const ImportRefused& refused) {
            QCOMPARE(refused.line, std::size_t(line));
            QVERIFY2(refused.what.contains(what), qPrintable(refused.what));
        }
    }

    // A file that cannot be read, or that is far too large to be a collection (a sparse
    // file: nothing is written to the disk), is refused before it is read; so is anything
    // that is not an ordinary file: a pipe (which would wait for a writer for ever), an
    // endless device, a folder.
    // A spreadsheet whose header names none of the catalogue's columns is opened with none
    // read, for the user to choose them.
    void aHeaderOfUnknownNamesIsOpenedWithNoColumnRead() {
        TestCatalogue catalogue;
        db::Connection connection;
        connection.open(catalogue.path().toStdString());
        RecordImport import = RecordImport::fromBytes(
            "Interpret;Werk;Stil;Traeger;Jahr;Label;Preis;Code;Ort;Notiz;Land;Nr\n"
            "ABBA;Arrival;Pop;CD;1976;Polar;9;X;S;-;SE;1\n");
        QVERIFY(!import.headerless() && !import.readsArtistOrTitle());
        QCOMPARE(import.fileColumns().size(), 12);
        QCOMPARE(import.preview(connection, {})->rows, 0);
        import.chooseColumns({0, 1, 2, 3});
        QVERIFY(import.readsArtistOrTitle());
        QCOMPARE(shown(import.preview(connection, {})->first), QStringList{"ABBA|Arrival|Pop|CD"});
    }

    void unreadableOrHugeFilesAreRefused() {
        QTemporaryDir dir;
        const QString huge = dir.filePath("huge.csv");
        QFile file(huge);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize((qint64(1) << 30) + 1));
        file.close();
        const QString pipe = dir.filePath("pipe.csv");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        for (const auto& [path, what] :
             {std::pair{dir.filePath("none.csv"), "cannot be read"},
              std::pair{huge, "larger than 1 GB"}, std::pair{pipe, "a device or a pipe"},
              std::pair{QString("/dev/zero"), "a device or a pipe"},
              std::pair{dir.path(), "a folder"}}) {
            try {
                RecordImport import(path);
                QFAIL("accepted");
            } catch (const ImportRefused& refused) {
                QCOMPARE(refused.line, std::size_t(0));
                QVERIFY2(refused.what.contains(what), qPrintable(refused.what));
            }
        }
    }

    // Rows, cut texts (never half a character), empty rows and records already there;
    // a bare empty field is Null, a quoted one empty text.
    void previewCountsWhatWouldBeAdded() {
        TestCatalogue catalogue({{"ABBA", "Arrival", "Pop", "CD"},
                                 {"Nina", "Ø", {}, "LP"},
                                 {"Céline Dion", "D'eux", "Pop", "CD"},
                                 {"Björk", "Post", "Pop", "CD"}});
        db::Connection connection;
        connection.open(catalogue.path().toStdString());
        const QByteArray file =
            "Artist,Title,Category,Format\n"
            "abba,ARRIVAL,pop,cd\n"                    // already there, letter case aside
            "Nina,Ø,,LP\n"                             // already there, Null matching Null
            "CE\u0301LINE DION,d'eux,Pop,CD\n"         // already there: a combining accent
            "Bjork,Post,Pop,CD\n"                      // not there: another accent
            "Nina,Ø,\"\",LP\n"                         // empty text is not Null
            ",,,\n"                                    // empty
            "\n"                                       // empty
            " , ,\t,\n"                                // blanks only: empty
            "A,T,Progressive Rock 😀 Extra,Cassette\n"  // category and format cut
            "\"\",\"\",\"\",\"\"\n";                   // four empty texts: a record
        const auto preview = RecordImport::fromBytes(file.toStdString()).preview(connection, {});
        QVERIFY(preview);
        QCOMPARE(preview->rows, 7);
        QCOMPARE(preview->existing, 3);
        QCOMPARE(preview->empty, 3);
        QCOMPARE(preview->cut, 1);
        QCOMPARE(shown(preview->first),
                 (QStringList{"abba|ARRIVAL|pop|cd", "Nina|Ø|<null>|LP",
                              "CE\u0301LINE DION|d'eux|Pop|CD", "Bjork|Post|Pop|CD", "Nina|Ø||LP",
                              "A|T|Progressive Roc|Casse", "|||"}));
        // 14 characters then an emoji of two UTF-16 units: the cut keeps it whole or drops it.
        const auto emoji =
            RecordImport::fromBytes("Category\nProgressive Ro😀k\n").preview(connection, {});
        QCOMPARE(shown(emoji->first), QStringList{"<null>|<null>|Progressive Ro😀|<null>"});
        QCOMPARE(rowsOf(catalogue).size(), 4);  // a preview writes nothing
    }

    // The rules a Discogs collection export is read by, one case a row: the field, what it
    // holds, what the catalogue keeps.
    void discogsFieldsAreKeptAsTheCatalogueKeepsThem_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("kept");
        QTest::newRow("artist number") << "artist"
                                       << "Justice (3)"
                                       << "Justice";
        QTest::newRow("numbers in a list") << "artist"
                                           << "Eat (2), Die Warzau"
                                           << "Eat, Die Warzau";
        QTest::newRow("before a join") << "artist"
                                       << "Prince (2) & The Revolution"
                                       << "Prince & The Revolution";
        QTest::newRow("words in brackets stay") << "artist"
                                                << "The The (UK Band)"
                                                << "The The (UK Band)";
        QTest::newRow("a number inside a name") << "artist"
                                                << "Sunn (2)O"
                                                << "Sunn (2)O";
        QTest::newRow("format word") << "format"
                                     << "LP, Album"
                                     << "LP";
        QTest::newRow("disc count") << "format"
                                    << "2xCD, Comp"
                                    << "CD";
        QTest::newRow("inches") << "format"
                                << "7\", Single"
                                << "7\"";
        QTest::newRow("count of inches") << "format"
                                         << "3x12\", Box"
                                         << "12\"";
        QTest::newRow("a word with an x") << "format"
                                          << "Box Set, Cassette"
                                          << "Box Set";
        QTest::newRow("folder") << "category"
                                << "Jazz Shelf"
                                << "Jazz Shelf";
        QTest::newRow("unsorted") << "category"
                                  << "Uncategorized"
                                  << "<null>";
    }
    void discogsFieldsAreKeptAsTheCatalogueKeepsThem() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, kept);
        const std::string text = value.toStdString();
        const QString got =
            field == "artist" ? QString::fromStdString(app::discogs::artistOf(text))
            : field == "format"
                ? QString::fromStdString(app::discogs::formatOf(text))
                : QString::fromStdString(app::discogs::categoryOf(text).value_or("<null>"));
        QCOMPARE(got, kept);
    }

    // An export is known by its header (the catalogue number named either way); each release
    // once; a plain file with a column named release_id is read as it is.
    void aDiscogsExportIsReadAsSuch() {
        TestCatalogue catalogue;
        db::Connection connection;
        connection.open(catalogue.path().toStdString());
        for (const char* catalogNumber : {"Catalog#", "Catalog Number"}) {
            const std::string file =
                std::string(catalogNumber) +
                ",Artist,Title,Label,Format,Rating,Released,release_id,CollectionFolder,Date "
                "Added\n"
                "ED 001,Justice (3),Cross,Ed Banger,\"LP, Album\",5,2007,1055,Electro,2024-01-01\n"
                "X 2,\"Eat (2), Die Warzau\",Split,Fifth,\"2xCD, Comp\",,1995,77,"
                "Uncategorized,2024-01-02\n"
                "ED 001,Justice (3),Cross,Ed Banger,\"LP, Album\",5,2007,1055,Vinyl,2024-01-03\n";
            const RecordImport import = RecordImport::fromBytes(file);
            QVERIFY(import.isDiscogsExport());
            const auto preview = import.preview(connection, {});
            QCOMPARE(shown(preview->first),
                     (QStringList{"Justice|Cross|Electro|LP", "Eat, Die Warzau|Split|<null>|CD"}));
            QCOMPARE(preview->repeated, 1);
            QCOMPARE(preview->cut, 0);
        }
        QVERIFY(!RecordImport::fromBytes("Artist,Title,release_id\nA (2),T,1\n").isDiscogsExport());
    }

    // One transaction: every row or none. The lookup values the rows bring that the lists
    // lack are named once each, letter case and blanks at the ends aside, when the list keeps
    // them whole (the Category list keeps five characters: "Classical" is not offered as
    // "Class", which no record holds). Blanks at the ends of every text are dropped.
    void insertAddsEveryRowAndNamesNewLookupValues() {
        TestCatalogue catalogue({{"ABBA", "Arrival", "Pop", "CD"}});
        catalogue.execute(
            "INSERT INTO Artist VALUES ('ABBA'); INSERT INTO Category VALUES ('Class')");
        db::Connection connection;
        connection.open(catalogue.path().toStdString());
        const auto import = RecordImport::fromBytes(
            "Artist;Title;Category;Format\n"
            "abba;Voulez-Vous;POP;CD\n"
            "Guns N' Roses;Appetite;Grunge;MD\n"
            "guns n' roses ;Lies;grungy;lp\n"
            ";Untitled;Classical;\n"
            "\u00A0Nick Drake\t; Pink Moon  ;Ska  ;CD\n");
        const auto preview = import.preview(connection, {});
        QCOMPARE(preview->tooLongForList, (std::array<std::int64_t, 3>{0, 3, 0}));
        const auto inserted = import.insertAll(connection, {});
        QVERIFY(inserted);
        QCOMPARE(inserted->added, 5);
        QCOMPARE(inserted->lacking[0], (std::vector<std::string>{"Guns N' Roses", "Nick Drake"}));
        QCOMPARE(inserted->lacking[1], std::vector<std::string>{"Ska"});  // Pop is listed
        QCOMPARE(inserted->lacking[2], std::vector<std::string>{"MD"});   // so are CD and LP
        connection.close();
        QCOMPARE(rowsOf(catalogue),
                 (QStringList{"ABBA|Arrival|Pop|CD", "abba|Voulez-Vous|POP|CD",
                              "Guns N' Roses|Appetite|Grunge|MD", "guns n' roses|Lies|grungy|lp",
                              "<null>|Untitled|Classical|<null>", "Nick Drake|Pink Moon|Ska|CD"}));
        checkOrderIsWhole(catalogue, true);  // written before the orders, placed in one pass

        // A few records into a catalogue ten times their number go in row by row.
        catalogue.insert(std::vector<TestCatalogue::Row>(40, {"Zappa", "Hot Rats", "Rock", "LP"}));
        connection.open(catalogue.path().toStdString());
        QVERIFY(RecordImport::fromBytes("Artist\nÉdith Piaf\n").insertAll(connection, {}));
        connection.close();
        checkOrderIsWhole(catalogue, false);
        QCOMPARE(catalogue.column("SELECT coalesce(Artist, '<null>') FROM ArtistOrder JOIN Main "
                                  "ON Main.rowid = Id ORDER BY ArtistKey, Id LIMIT 8"),
                 (QStringList{"<null>", "abba", "ABBA", "Édith Piaf", "guns n' roses",
                              "Guns N' Roses", "Nick Drake", "Zappa"}));
    }

    // One name written two ways (an accent as one letter or as two, in another case) is offered
    // to its list once; names that differ in an accent are two.
    void aNameWrittenTwoWaysIsOfferedOnce() {
        TestCatalogue catalogue;
        db::Connection connection;
        connection.open(catalogue.path().toStdString());
        const auto inserted = RecordImport::fromBytes(
                                  "Artist\nCéline Dion\nCe\xCC\x81line Dion\nΑλκίνοος\n"
                                  "αλκίνοος\nМумий Тролль\nмумий тролль\nBjörk\nBjork\n")
                                  .insertAll(connection, {});
        QVERIFY(inserted);
        QCOMPARE(inserted->lacking[0],
                 (std::vector<std::string>{"Céline Dion", "Αλκίνοος", "Мумий Тролль", "Björk",
                                           "Bjork"}));
    }

    // Records that would reach past the largest row id get row ids the engine picks at
    // random: they are placed one by one, none left out of the orders.
    void recordsPastTheLargestRowIdAreEachPlaced() {
        TestCatalogue catalogue;
        catalogue.execute("INSERT INTO Main (rowid, Artist) VALUES (9223372036854775804, 'Zappa')");
        db::Connection connection;
        connection.open(catalogue.path().toStdString());
        QVERIFY(RecordImport::fromBytes("Artist\nA\nB\nC\nD\nE\nF\n").insertAll(connection, {}));
        connection.close();
        QCOMPARE(catalogue.column("SELECT count(*) FROM Main"), QStringList{"7"});
        checkOrderIsWhole(catalogue, false);
    }

    // A first line that names no column, with four fields or fewer, is the first record; the
    // delimiter is the one that splits it the most.
    void aFileWithoutAHeaderIsReadInTheColumnsOrder() {
        TestCatalogue catalogue({{"ABBA", "Arrival", "Pop", "CD"}});
        db::Connection connection;
        connection.open(catalogue.path().toStdString());
        const auto import =
            RecordImport::fromBytes("abba;ARRIVAL;pop;cd\nBowie;Low;Rock\n\"Cale, J\";;;LP\n");
        QVERIFY(import.headerless());
        QCOMPARE(import.delimiterName(), QString("semicolon"));
        const auto preview = import.preview(connection, {});
        QVERIFY(preview);
        QCOMPARE(shown(preview->first), (QStringList{"abba|ARRIVAL|pop|cd", "Bowie|Low|Rock|<null>",
                                                     "Cale, J|<null>|<null>|LP"}));
        QCOMPARE(preview->existing, 1);
        // Leaving out what the catalogue held: the first line; the others go in.
        const auto inserted = import.insertAll(connection, {}, RecordImport::Existing::LeftOut);
        QVERIFY(inserted);
        QCOMPARE(inserted->added, 2);
        QCOMPARE(inserted->leftOut, 1);
        connection.close();
        QCOMPARE(rowsOf(catalogue), (QStringList{"ABBA|Arrival|Pop|CD", "Bowie|Low|Rock|<null>",
                                                 "Cale, J|<null>|<null>|LP"}));
        // A record twice in the file, not in the catalogue: both added, as the preview counts.
        connection.open(catalogue.path().toStdString());
        const auto twice = RecordImport::fromBytes("Nico,Chelsea Girl\nNico,Chelsea Girl\n")
                               .insertAll(connection, {}, RecordImport::Existing::LeftOut);
        QCOMPARE(twice->added, 2);
        QCOMPARE(twice->leftOut, 0);
    }

    // Without a header the widest of the first lines says how far the columns go: a short
    // first line does not leave Category and Format out of every record.
    void aFileWithoutAHeaderIsReadAsWideAsItsFirstLines_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("delimiter");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QString>("second");
        QTest::newRow("short first line")
            << QByteArray("Beatles,Abbey Road\nStones,Exile,Rock,CD\n") << "comma"
            << QStringList{"Artist", "Title", "Category", "Format"} << "Stones|Exile|Rock|CD";
        QTest::newRow("commas inside, semicolons between")
            << QByteArray("Cale, J;Paris 1919\nEno;Here Come, The;Rock;LP\n") << "semicolon"
            << QStringList{"Artist", "Title", "Category", "Format"} << "Eno|Here Come, The|Rock|LP";
        QTest::newRow("two fields throughout")
            << QByteArray("Nico,Chelsea Girl\nCan,Tago Mago\n") << "comma"
            << QStringList{"Artist", "Title"} << "Can|Tago Mago|<null>|<null>";
    }
    void aFileWithoutAHeaderIsReadAsWideAsItsFirstLines() {
        QFETCH(QByteArray, file);
        QFETCH(QString, delimiter);
        QFETCH(QStringList, columns);
        QFETCH(QString, second);
        TestCatalogue catalogue;
        db::Connection connection;
        connection.open(catalogue.path().toStdString());
        const auto import = RecordImport::fromBytes(file.toStdString());
        QVERIFY(import.headerless());
        QCOMPARE(import.delimiterName(), delimiter);
        QCOMPARE(import.columnsRead(), columns);
        const auto preview = import.preview(connection, {});
        QCOMPARE(shown(preview->first).value(1), second);
    }

    void stoppingOrAFailureWritesNothing() {
        TestCatalogue catalogue({{"ABBA", "Arrival", "Pop", "CD"}});
        QByteArray file = "Artist,Title\n";
        for (int i = 0; i < 5000; ++i) {
            file += "Artist " + QByteArray::number(i) + ",Title\n";
        }
        db::Connection connection;
        connection.open(catalogue.path().toStdString());
        const auto import = RecordImport::fromBytes(file.toStdString());
        QList<int> heard;
        const auto stopAtTheThird = [&](int percent) {
            heard << percent;
            return heard.size() < 3;
        };
        QVERIFY(!import.insertAll(connection, stopAtTheThird));
        QCOMPARE(heard.size(), 3);
        QVERIFY(heard[0] > 0 && heard[0] < heard[2] && heard[2] < 100);
        QVERIFY(!import.preview(connection, [](int) { return false; }));
        // A trigger that fails the 4000th insert: the rows before it go too.
        connection.execute(
            "CREATE TEMP TRIGGER refuse BEFORE INSERT ON Main WHEN NEW.Artist = 'Artist 3999' "
            "BEGIN SELECT RAISE(ABORT, 'refused'); END");
        QVERIFY_THROWS_EXCEPTION(db::DbError, import.insertAll(connection, {}));
        connection.close();
        QCOMPARE(rowsOf(catalogue), QStringList{"ABBA|Arrival|Pop|CD"});
        checkOrderIsWhole(catalogue, true);  // the trigger set aside for the run is back
    }
};

QTEST_GUILESS_MAIN(TstRecordImport)
#include "tst_record_import.moc"

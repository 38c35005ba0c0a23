// The cursor contract the windows rely on, on real catalogue files.
#include <QtTest>

#include "catalogue/Catalogue.h"
#include "sqlite/DbError.h"
#include "sqlite/FileKind.h"
#include "support/Damage.h"
#include "support/TestCatalogue.h"

using db::DbError;
using db::Recordset;
using testing::TestCatalogue;
namespace catalogue = db::catalogue;

namespace {

const db::View& view(const char* name) {
    return *db::findView(name);
}

std::string artist(Recordset& rs) {
    return rs.field("Artist").toText();
}

long errorOf(const std::function<void()>& step) {
    try {
        step();
    } catch (const DbError& e) {
        return e.number;
    }
    return 0;
}

// Three records whose artist and title orders differ.
std::vector<TestCatalogue::Row> threeRecords() {
    return {{"Queen", "A Night at the Opera", "Rock", "LP"},
            {"ABBA", "Voulez-Vous", "Pop", "CD"},
            {"Miles Davis", "Kind of Blue", "Jazz", "LP"}};
}

}  // namespace

class TestRecordset : public QObject {
    Q_OBJECT

  private slots:
    // A file is told apart by its bytes: a database whose first bytes were wiped still holds
    // a database's pages; a text or a file of zeros of the same size does not.
    void filesAreToldApartByTheirBytes_data() {
        QTest::addColumn<QString>("made");
        QTest::addColumn<int>("kind");
        QTest::newRow("catalogue") << "catalogue" << int(db::FileKind::Database);
        QTest::newRow("header wiped") << "wiped" << int(db::FileKind::DatabasePages);
        QTest::newRow("zeros") << "zeros" << int(db::FileKind::Other);
        QTest::newRow("text of page size") << "text" << int(db::FileKind::Other);
        QTest::newRow("empty") << "empty" << int(db::FileKind::Empty);
        QTest::newRow("device") << "/dev/zero" << int(db::FileKind::NotAFile);
    }
    void filesAreToldApartByTheirBytes() {
        QFETCH(QString, made);
        QFETCH(int, kind);
        TestCatalogue file(testing::numberedRecords(2000));
        QString path = file.path();
        if (made == "wiped") {
            testing::overwrite(path, 0, QByteArray(100, '\0'));
        } else if (made == "zeros" || made == "text" || made == "empty") {
            QFile bytes(path);
            const qint64 size = made == "empty" ? 0 : bytes.size();  // a whole number of pages
            const QByteArray line =
                made == "text" ? QByteArray("Nina Simone, Pastel Blues\n") : QByteArray(1, '\0');
            QVERIFY(bytes.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(bytes.write(line.repeated(size / line.size() + 1).left(size)), size);
        } else if (made == "/dev/zero") {
            path = made;
        }
        QCOMPARE(int(db::fileKindOf(path.toStdString())), kind);
    }

    void opensInViewOrderIgnoringCase() {
        TestCatalogue file({{"beatles", "Abbey Road", "Rock", "LP"},
                            {"ABBA", "Arrival", "Pop", "CD"},
                            {"Bowie", "Low", "Rock", "LP"}});
        db::Connection cn;
        cn.open(file.path().toStdString());
        Recordset rs;
        rs.open(cn, catalogue::mainTable(view("Artist")));
        QCOMPARE(rs.recordCount(), 3);
        QCOMPARE(artist(rs), std::string("ABBA"));
        rs.moveNext();
        QCOMPARE(artist(rs), std::string("beatles"));
        rs.moveNext();
        QCOMPARE(artist(rs), std::string("Bowie"));

        rs.open(cn, catalogue::mainTable(view("Title")));
        QCOMPARE(rs.field("Title").toText(), std::string("Abbey Road"));
        rs.moveLast();
        QCOMPARE(rs.field("Title").toText(), std::string("Low"));
    }

    // A record added through the view is read by a pass over all of it (an export) before
    // the view is opened again.
    void aRecordAddedIsReadInThePassOverTheView() {
        TestCatalogue file(threeRecords());
        db::Connection cn;
        cn.open(file.path().toStdString());
        Recordset rs;
        rs.open(cn, catalogue::mainTable(*db::findView("Artist")));
        rs.addNew();
        rs.setField("Artist", "Aaron");
        rs.update();
        QStringList artists;
        rs.forEachRow("Artist", [&](const db::Statement& rows) {
            artists << QString::fromStdString(std::string(rows.textColumn(0).value_or("")));
        });
        QCOMPARE(artists.size(), 4);
        QCOMPARE(artists.first(), QString("Aaron"));
    }

    void movesStopAtTheEndsWithNoCurrentRecord() {
        TestCatalogue file(threeRecords());
        db::Connection cn;
        cn.open(file.path().toStdString());
        Recordset rs;
        rs.open(cn, catalogue::mainTable(view("Artist")));
        QVERIFY(!rs.bof() && !rs.eof());
        rs.movePrevious();
        QVERIFY(rs.bof() && !rs.eof());
        QCOMPARE(errorOf([&] { rs.field("Artist"); }), db::err::NoCurrentRecord);
        QCOMPARE(errorOf([&] { rs.movePrevious(); }), db::err::NoCurrentRecord);
        rs.moveNext();
        QCOMPARE(artist(rs), std::string("ABBA"));
        rs.moveLast();
        rs.moveNext();
        QVERIFY(rs.eof() && !rs.bof());
        QCOMPARE(errorOf([&] { rs.moveNext(); }), db::err::NoCurrentRecord);
        QCOMPARE(errorOf([&] { rs.bookmark(); }), db::err::NoCurrentRecord);
        rs.movePrevious();
        QCOMPARE(artist(rs), std::string("Queen"));
    }

    void emptyTableIsAtBothEndsAndRefusesMoves() {
        TestCatalogue file;
        db::Connection cn;
        cn.open(file.path().toStdString());
        Recordset rs;
        rs.open(cn, catalogue::mainTable(view("Artist")));
        QVERIFY(rs.bof() && rs.eof());
        QCOMPARE(rs.recordCount(), 0);
        QCOMPARE(errorOf([&] { rs.moveFirst(); }), db::err::NoCurrentRecord);
        QCOMPARE(errorOf([&] { rs.moveLast(); }), db::err::NoCurrentRecord);
        QCOMPARE(errorOf([&] { rs.moveNext(); }), db::err::NoCurrentRecord);
    }

    void closedRecordsetReportsObjectClosed() {
        Recordset rs;
        QCOMPARE(errorOf([&] { rs.recordCount(); }), db::err::ObjectClosed);
        QCOMPARE(errorOf([&] { rs.eof(); }), db::err::ObjectClosed);
        QCOMPARE(errorOf([&] { rs.field("Artist"); }), db::err::ObjectClosed);
        db::Connection closed;
        QCOMPARE(errorOf([&] { rs.open(closed, catalogue::mainTable(view("Artist"))); }),
                 db::err::ObjectClosed);
        QVERIFY(!rs.isOpen());
    }

    void absolutePositionCountsRowsStillPresent() {
        TestCatalogue file(threeRecords());
        db::Connection cn;
        cn.open(file.path().toStdString());
        Recordset rs;
        rs.open(cn, catalogue::mainTable(view("Artist")));
        rs.setAbsolutePosition(3);
        QCOMPARE(artist(rs), std::string("Queen"));
        rs.setAbsolutePosition(1);
        rs.deleteCurrent();  // ABBA
        rs.setAbsolutePosition(2);
        QCOMPARE(artist(rs), std::string("Queen"));
        QCOMPARE(errorOf([&] { rs.setAbsolutePosition(3); }), db::err::BadBookmark);
        QCOMPARE(errorOf([&] { rs.setAbsolutePosition(0); }), db::err::BadBookmark);
    }

    void nullIsDistinctFromEmptyText() {
        TestCatalogue file({{"Nina Simone", nullptr, "", "LP"}});
        db::Connection cn;
        cn.open(file.path().toStdString());
        Recordset rs;
        rs.open(cn, catalogue::mainTable(view("Artist")));
        QVERIFY(rs.field("Title").isNull());
        QCOMPARE(errorOf([&] { rs.field("Title").toText(); }), db::err::InvalidUseOfNull);
        QVERIFY(!rs.field("Category").isNull());
        QCOMPARE(rs.field("category").toText(), std::string());  // names ignore case
    }

    void bookmarkIsARowIdThatSurvivesReopening() {
        TestCatalogue file(threeRecords());
        db::Connection cn;
        cn.open(file.path().toStdString());
        Recordset rs;
        rs.open(cn, catalogue::mainTable(view("Artist")));
        rs.moveNext();  // Miles Davis
        const auto mark = rs.bookmark();
        rs.close();
        rs.open(cn, catalogue::mainTable(view("Title")));
        rs.setBookmark(mark);
        QCOMPARE(artist(rs), std::string("Miles Davis"));
        QCOMPARE(errorOf([&] { rs.setBookmark(9999); }), db::err::BadBookmark);
        QCOMPARE(artist(rs), std::string("Miles Davis"));  // a bad bookmark does not move
    }

    // Finds go forward from the current row, by the collation: a name as a name, "begins
    // with" by letters; quotes, wildcards and backslashes are plain characters.
    void findBindsTheValueAndSearchesForwardInOrder() {
        TestCatalogue file({{"O'Connor", "Theme", "Folk", "CD"},
                            {"Guns N' Roses", "Appetite", "Rock", "LP"},
                            {"Beach Boys", "Pet Sounds", "Pop", "LP"},
                            {"Beatles", "Revolver", "Rock", "LP"},
                            {"Béla Bartók", "Concerto", "Class", "CD"},
                            {"50% Off", "Sale_Items", "Pop", "CD"},
                            {"AC\\DC", "Back", "Rock", "CD"}});
        db::Connection cn;
        cn.open(file.path().toStdString());
        Recordset rs;
        rs.open(cn, catalogue::mainTable(view("Artist")));
        const auto beginsWith = [&](const std::string& column, const std::string& text) {
            const catalogue::Match match = catalogue::beginsWith(column, text);
            rs.findWhere(match.where, match.params, match.table);
            return rs.eof() ? std::string("<none>") : artist(rs);
        };
        rs.findName("Artist", "o'connor");
        QCOMPARE(artist(rs), std::string("O'Connor"));
        rs.moveFirst();
        QCOMPARE(beginsWith("Artist", "Bea"), std::string("Beach Boys"));
        rs.moveNext();
        QCOMPARE(beginsWith("Artist", "Bea"), std::string("Beatles"));  // from the current row on
        rs.moveNext();
        QCOMPARE(beginsWith("Artist", "bé"), std::string("Béla Bartók"));  // letters, accents aside
        rs.moveNext();
        QCOMPARE(beginsWith("Artist", "Bea"), std::string("<none>"));
        for (const auto& [column, text, found] :
             std::vector<std::array<std::string, 3>>{{"Artist", "50%", "50% Off"},
                                                     {"Title", "Sale_", "50% Off"},
                                                     {"Artist", "5_", "<none>"},
                                                     {"Artist", "AC\\", "AC\\DC"},
                                                     {"Artist", "AC\\%", "<none>"},
                                                     {"Artist", "x' OR '1'='1", "<none>"}}) {
            rs.moveFirst();
            QCOMPARE(beginsWith(column, text), found);
        }
        rs.moveFirst();
        rs.findName("Artist", "x' OR '1'='1");
        QVERIFY(rs.eof());
    }

    void findingFromTheFirstRowSearchesTheColumnsOrder_data() {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("column");
        for (const char* view : {"Artist", "Title", "Category", "Format"}) {
            for (const char* column : {"Artist", "TITLE", "Category", "Format"}) {
                QTest::newRow(qPrintable(QString("%1 view, %2").arg(view, column)))
                    << QString(view) << QString(column);
            }
        }
    }
    void findingFromTheFirstRowSearchesTheColumnsOrder() {
        QFETCH(QString, view);
        QFETCH(QString, column);
        TestCatalogue file(threeRecords());
        db::Connection cn;
        cn.open(file.path().toStdString());
        Recordset rs;
        rs.open(cn, catalogue::mainTable(*db::findView(view.toStdString())));
        const auto match = catalogue::beginsWith(column.toStdString(), "Bea");
        db::Statement plan(cn, "EXPLAIN QUERY PLAN " + rs.findSql(match.where, match.table));
        plan.bindAll(match.params);
        QStringList steps;
        while (plan.step()) {
            steps << QString::fromStdString(plan.column(3).toText());
        }
        const QString searched = "SEARCH " + QString::fromStdString(match.table) + " USING";
        QVERIFY2(steps.join(" ").contains(searched), qPrintable(steps.join("; ")));
        QVERIFY2(!steps.join(" ").contains("SCAN"), qPrintable(steps.join("; ")));
    }

    void bookmarksAndFindsLandOnTheirRowInAnyView() {
        // Ties and Nulls in the order: each row still has its one place.
        TestCatalogue file({{"Bowie", "Low", "Rock", "LP"},
                            {"Bowie", "Low", "Rock", "CD"},
                            {nullptr, "Low", nullptr, "LP"},
                            {"abba", nullptr, "Pop", nullptr},
                            {"ABBA", "Arrival", "Pop", "CD"}});
        db::Connection cn;
        cn.open(file.path().toStdString());
        for (const db::View& view : db::views()) {
            Recordset rs;
            rs.open(cn, catalogue::mainTable(view));
            std::vector<std::int64_t> order;
            for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
                order.push_back(rs.bookmark());
            }
            for (std::size_t i = 0; i < order.size(); ++i) {
                rs.setBookmark(order[i]);
                QCOMPARE(rs.absolutePosition(), std::int64_t(i + 1));
            }
            std::int64_t firstAbba = 0;  // the place of the view's first ABBA, by walking
            for (std::size_t i = 0; i < order.size() && !firstAbba; ++i) {
                rs.setBookmark(order[i]);
                if (QString::fromStdString(rs.field("Artist").text().value_or(""))
                        .startsWith("ab", Qt::CaseInsensitive)) {
                    firstAbba = static_cast<std::int64_t>(i) + 1;
                }
            }
            rs.moveFirst();
            const catalogue::Match abba = catalogue::beginsWith("Artist", "ab");
            rs.findWhere(abba.where, abba.params, abba.table);
            QCOMPARE(rs.absolutePosition(), firstAbba);
        }
    }

    void addNewAppendsAndBecomesCurrent() {
        TestCatalogue file(threeRecords());
        db::Connection cn;
        cn.open(file.path().toStdString());
        Recordset rs;
        rs.open(cn, catalogue::mainTable(view("Artist")));
        rs.addNew();
        rs.setField("Artist", "Guns N' Roses");
        rs.setField("Title", "Use Your Illusion");
        rs.update();
        QCOMPARE(rs.recordCount(), 4);
        QCOMPARE(artist(rs), std::string("Guns N' Roses"));
        QVERIFY(rs.field("Format").isNull());
        rs.moveNext();
        QVERIFY(rs.eof());  // appended at the end of the keyset, not re-sorted
        QCOMPARE(file.column("SELECT Title FROM Main WHERE Artist = 'Guns N'' Roses'"),
                 QStringList{"Use Your Illusion"});
    }

    void updateWritesOnlyTheCurrentRow() {
        TestCatalogue file(threeRecords());
        db::Connection cn;
        cn.open(file.path().toStdString());
        Recordset rs;
        rs.open(cn, catalogue::mainTable(view("Artist")));
        rs.setField("Title", "Arrival");
        QCOMPARE(rs.field("Title").toText(), std::string("Arrival"));  // the pending value
        rs.update();
        QCOMPARE(file.column("SELECT Title FROM Main ORDER BY Artist"),
                 (QStringList{"Arrival", "Kind of Blue", "A Night at the Opera"}));
        // A move saves a pending edit rather than losing it.
        rs.setField("Format", "MC");
        rs.moveNext();
        QCOMPARE(file.column("SELECT Format FROM Main WHERE Artist = 'ABBA'"), QStringList{"MC"});
    }

    void deleteLeavesTheCursorOnTheGapUntilItMoves() {
        TestCatalogue file(threeRecords());
        db::Connection cn;
        cn.open(file.path().toStdString());
        Recordset rs;
        rs.open(cn, catalogue::mainTable(view("Artist")));
        rs.moveNext();  // Miles Davis, the middle one
        rs.deleteCurrent();
        QVERIFY(!rs.eof() && !rs.bof());
        QCOMPARE(errorOf([&] { rs.field("Artist"); }), db::err::RecordDeleted);
        QCOMPARE(rs.recordCount(), 2);
        rs.moveNext();
        QCOMPARE(artist(rs), std::string("Queen"));
        rs.deleteCurrent();  // the last one
        rs.moveNext();
        QVERIFY(rs.eof());
        rs.movePrevious();
        QCOMPARE(artist(rs), std::string("ABBA"));
        rs.deleteCurrent();  // the only one left
        rs.moveNext();
        QVERIFY(rs.eof() && rs.bof());
        QCOMPARE(errorOf([&] { rs.movePrevious(); }), db::err::NoCurrentRecord);
        QCOMPARE(file.column("SELECT count(*) FROM Main"), QStringList{"0"});
    }

    void rowDeletedElsewhereReadsAsDeleted() {
        TestCatalogue file(threeRecords());
        db::Connection cn;
        cn.open(file.path().toStdString());
        Recordset main, other;
        main.open(cn, catalogue::mainTable(view("Artist")));
        other.open(cn, catalogue::mainTable(view("Artist")));
        other.deleteCurrent();
        QCOMPARE(errorOf([&] { main.field("Artist"); }), db::err::RecordDeleted);
    }

    void batchChangesCommitOrRollBackAsAWhole() {
        TestCatalogue file(threeRecords());
        db::Connection cn;
        cn.open(file.path().toStdString());
        Recordset rs;
        rs.open(cn, {"Main", {}, {}, {}}, db::CursorType::Keyset, db::LockType::BatchOptimistic);
        while (!rs.eof()) {
            rs.deleteCurrent();
            rs.moveNext();
        }
        rs.cancelBatch();
        QCOMPARE(rs.recordCount(), 3);
        QCOMPARE(file.column("SELECT count(*) FROM Main"), QStringList{"3"});
        while (!rs.eof()) {
            rs.deleteCurrent();
            rs.moveNext();
        }
        rs.updateBatch();
        QCOMPARE(file.column("SELECT count(*) FROM Main"), QStringList{"0"});

        // Closing with a batch still open keeps every row.
        TestCatalogue second(threeRecords());
        db::Connection cn2;
        cn2.open(second.path().toStdString());
        rs.open(cn2, {"Main", {}, {}, {}}, db::CursorType::Keyset, db::LockType::BatchOptimistic);
        rs.deleteCurrent();
        rs.close();
        QCOMPARE(second.column("SELECT count(*) FROM Main"), QStringList{"3"});
    }

    void forwardOnlyQueryReadsGroupsOnce() {
        TestCatalogue file(threeRecords());
        db::Connection cn;
        cn.open(file.path().toStdString());
        Recordset rs;
        rs.openQuery(cn, "SELECT Format, count(Format) AS Tally FROM Main GROUP BY Format");
        QCOMPARE(rs.recordCount(), -1);
        QCOMPARE(rs.field("Format").toText(), std::string("CD"));
        QCOMPARE(*rs.field("Tally").integer(), 1);
        rs.moveNext();
        QCOMPARE(*rs.field("TALLY").integer(), 2);
        rs.moveNext();
        QVERIFY(rs.eof());
        QCOMPARE(errorOf([&] { rs.movePrevious(); }), db::err::NotAllowed);
        rs.moveFirst();
        QCOMPARE(rs.field("Format").toText(), std::string("CD"));
    }

    void requeryPicksUpRowsAddedElsewhere() {
        TestCatalogue file(threeRecords());
        db::Connection cn;
        cn.open(file.path().toStdString());
        Recordset rs;
        rs.open(cn, catalogue::lookupTable(catalogue::Lookup::Category));
        const auto before = rs.recordCount();
        cn.execute("INSERT INTO Category (Category) VALUES (?)", {db::Value("Ska")});
        QCOMPARE(rs.recordCount(), before);
        rs.requery();
        QCOMPARE(rs.recordCount(), before + 1);
    }
};

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"

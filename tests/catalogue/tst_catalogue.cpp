// Opening catalogue files, good and bad, and the values they hold.
#include <QFile>
#include <QtTest>

#include "catalogue/Catalogue.h"
#include "catalogue/RecordTransfer.h"
#include "sqlite/DbError.h"
#include "support/OrderChecks.h"
#include "support/TestCatalogue.h"

using db::DbError;
using testing::TestCatalogue;
namespace catalogue = db::catalogue;

namespace {

DbError openError(const QString& path) {
    db::Connection cn;
    try {
        cn.open(path.toStdString());
    } catch (const DbError& e) {
        return e;
    }
    return {0, ""};
}

}  // namespace

class TestCatalogueFile : public QObject {
    Q_OBJECT

  private slots:
    // The lists know a name as the counts group it: case and the way an accent is written
    // aside, a different accent not.
    void listsKnowNamesAsTheCountsGroupThem() {
        TestCatalogue file;
        file.execute("DELETE FROM Artist");
        file.execute("INSERT INTO Artist (Artist) VALUES ('Céline Dion'), ('Björk'), ('ABBA')");
        db::Connection cn;
        cn.open(file.path().toStdString());
        catalogue::LookupMatcher artists(cn, catalogue::Lookup::Artist);
        for (const auto& [name, known] :
             std::vector<std::pair<std::string, bool>>{{"CE\u0301LINE DION", true},
                                                       {"abba", true},
                                                       {"Björk", true},
                                                       {"Bjork", false},
                                                       {"Celine Dion", false}}) {
            QVERIFY2(artists.holds(name) == known, name.c_str());
        }
        db::Recordset list;
        list.open(cn, catalogue::lookupTable(catalogue::Lookup::Artist));
        list.findName("Artist", "abba");
        QCOMPARE(list.field("Artist").toText(), std::string("ABBA"));
        list.close();
        catalogue::deleteLookupValue(cn, catalogue::Lookup::Artist, "céline dion");
        QCOMPARE(file.column("SELECT Artist FROM Artist ORDER BY rowid"),
                 (QStringList{"Björk", "ABBA"}));
    }

    void shippedCatalogueHasTablesOptionsAndLists() {
        TestCatalogue file({}, true);
        QCOMPARE(file.column("SELECT optValue FROM Options ORDER BY option"),
                 (QStringList{"0", "-1", "-1"}));
        QVERIFY(file.column("SELECT count(*) FROM Main").first().toInt() >= 400);
        QCOMPARE(file.column("SELECT count(*) FROM ReportTitle"), QStringList{"1"});
        // Lookup values the record writers would cut are not shipped.
        QCOMPARE(file.column("SELECT count(*) FROM Format WHERE length(Format) > 5"),
                 QStringList{"0"});
        QCOMPARE(file.column("SELECT count(*) FROM Category WHERE length(Category) > 5"),
                 QStringList{"0"});
        QCOMPARE(file.column("SELECT count(*) FROM Main WHERE length(Artist) > 30 OR "
                             "length(Title) > 30 OR length(Category) > 15 OR length(Format) > 5"),
                 QStringList{"0"});
        // Every artist, category and format of the sample records is in its list.
        QCOMPARE(file.column("SELECT count(*) FROM Main WHERE Artist NOT IN (SELECT Artist FROM "
                             "Artist) OR Category NOT IN (SELECT Category FROM Category) OR "
                             "Format NOT IN (SELECT Format FROM Format)"),
                 QStringList{"0"});
        // Each view's order has its table, every record placed in it; Main keeps its texts.
        QCOMPARE(file.column("SELECT count(*) FROM sqlite_master WHERE name LIKE '%Order'"),
                 QStringList{"4"});
        QCOMPARE(file.column(testing::misplacedSql()), QStringList{"0"});
        QCOMPARE(file.column("SELECT count(*) FROM OrderNotes"), QStringList{"0"});
    }

    void textComparesWithoutCase() {
        TestCatalogue file({{"abba", "x", "Pop", "CD"}});
        QCOMPARE(file.column("SELECT count(*) FROM Main WHERE Artist = 'ABBA'"), QStringList{"1"});
    }

    void missingFileFailsWithoutCreatingOne() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Zembo.mdb");
        const DbError error = openError(path);
        QCOMPARE(error.number, db::err::Unspecified);
        QVERIFY(QString::fromStdString(error.description).contains("Zembo.mdb"));
        QVERIFY(!QFile::exists(path));
    }

    void foreignFileIsNotADatabase() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Zembo.mdb");
        QFile text(path);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write(QByteArray(4096, 'x'));
        text.close();
        const DbError error = openError(path);
        QCOMPARE(error.number, db::err::Unspecified);
        QVERIFY(
            QString::fromStdString(error.description).startsWith("Unrecognized database format"));
        QCOMPARE(QFileInfo(path).size(), 4096);
    }

    void lockedFileSaysSo() {
        TestCatalogue file;
        testing::FileLock holder(file.path());
        const DbError error = openError(file.path());
        QCOMPARE(error.number, db::err::Unspecified);
        QVERIFY(QString::fromStdString(error.description).contains("locked"));
    }

    void folderInThePlaceOfTheFileSaysSo() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("Zembo.mdb"));
        const DbError error = openError(dir.filePath("Zembo.mdb"));
        QCOMPARE(error.number, db::err::Unspecified);
        QVERIFY2(QString::fromStdString(error.description).contains("is a folder"),
                 error.description.c_str());
    }

    void unreadableFileSaysSo() {
        if (geteuid() == 0) {
            QSKIP("the superuser reads every file");
        }
        TestCatalogue file;
        QFile::setPermissions(file.path(), {});
        const DbError error = openError(file.path());
        QFile::setPermissions(file.path(), QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY2(QString::fromStdString(error.description).contains("cannot be read"),
                 error.description.c_str());
    }

    void connectionKeepsARollbackJournalAndSyncsEveryCommit() {
        TestCatalogue file;
        db::Connection cn;
        cn.open(file.path().toStdString());
        const auto pragma = [&](const char* name) {
            db::Statement statement(cn, std::string("PRAGMA ") + name);
            return statement.step() ? statement.column(0).text().value_or("") : "(none)";
        };
        QCOMPARE(pragma("journal_mode"), std::string("delete"));
        QCOMPARE(pragma("synchronous"), std::string("3"));  // EXTRA
        QVERIFY(!cn.isReadOnly());
    }

    void fileLeftInWriteAheadModeIsPutBack() {
        TestCatalogue file;
        {
            db::Connection other;  // another tool switched the file over and went away
            other.open(file.path().toStdString());
            other.executeScript("PRAGMA journal_mode=WAL");
        }
        db::Connection cn;
        cn.open(file.path().toStdString());
        cn.execute("UPDATE Options SET optValue = '0' WHERE option = 3");
        cn.close();
        // The file's header says which journal it keeps: 1 rollback, 2 write-ahead log.
        QFile raw(file.path());
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QByteArray header = raw.read(20);
        QCOMPARE(int(header[18]), 1);
        QCOMPARE(int(header[19]), 1);
        QVERIFY(!QFile::exists(file.path() + "-wal"));

        // While another program holds it in that mode, it cannot be put back: said, not kept.
        db::Connection holder;
        holder.open(file.path().toStdString());
        holder.executeScript("PRAGMA journal_mode=WAL; BEGIN; SELECT count(*) FROM Main;");
        const DbError error = openError(file.path());
        QCOMPARE(error.number, db::err::Unspecified);
        QVERIFY(!error.description.empty());
    }

    void readOnlyFileOrFolderIsReadNotWritten_data() {
        QTest::addColumn<bool>("folder");
        QTest::newRow("file") << false;
        QTest::newRow("folder") << true;
    }
    void readOnlyFileOrFolderIsReadNotWritten() {
        QFETCH(bool, folder);
        TestCatalogue file({{"ABBA", "Arrival", "Pop", "CD"}});
        testing::Unwritable lock(folder ? file.directory() : file.path());
        if (!lock.took()) {
            QSKIP("this machine cannot make a file unwritable");
        }
        db::Connection cn;
        cn.open(file.path().toStdString());
        QVERIFY(cn.isReadOnly());
        db::Recordset rs;
        rs.open(cn, catalogue::mainTable(*db::findView("Artist")));
        QCOMPARE(rs.field("Title").toText(), std::string("Arrival"));
        rs.setField("Title", "Waterloo");
        try {
            rs.update();
            QFAIL("wrote to a read-only catalogue");
        } catch (const DbError& e) {
            QCOMPARE(e.description, std::string(db::Connection::ReadOnlyText));
        }
    }

    void missingTableIsReportedByName() {
        TestCatalogue file;
        file.execute("DROP TABLE Main");
        db::Connection cn;
        cn.open(file.path().toStdString());
        db::Recordset rs;
        try {
            rs.open(cn, catalogue::mainTable(*db::findView("Artist")));
            QFAIL("opened a table that is not there");
        } catch (const DbError& e) {
            QCOMPARE(e.number, db::err::TableMissing);
            QVERIFY(QString::fromStdString(e.description).contains("Main"));
        }
        QVERIFY(!rs.isOpen());
    }

    void optionsReadAndWriteAsMinusOneAndZero() {
        TestCatalogue file;
        db::Connection cn;
        cn.open(file.path().toStdString());
        catalogue::writeOption(cn, catalogue::OptionAutoAddArtist, true);
        catalogue::writeOption(cn, catalogue::OptionBookmark, false);
        catalogue::writeOption(cn, 7, true);  // no such row: nothing written, no failure
        QCOMPARE(file.column("SELECT optValue FROM Options ORDER BY option"),
                 (QStringList{"-1", "0", "-1"}));
        db::Recordset rs;
        catalogue::openOption(rs, cn, catalogue::OptionAutoAddArtist);
        QVERIFY(rs.field("optValue").toBoolean());
        catalogue::openOption(rs, cn, 7);
        QVERIFY(rs.eof());
    }

    void booleanTextsConvertLikeTheCatalogueAlwaysHas_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");  // 1 on, 0 off, -1 type mismatch
        QTest::newRow("minus one") << "-1" << 1;
        QTest::newRow("one") << "1" << 1;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("blank padded") << " 0 " << 0;
        QTest::newRow("true word") << "True" << 1;
        QTest::newRow("false word") << "false" << 0;
        QTest::newRow("fraction") << "0.5" << 1;
        QTest::newRow("word") << "yes" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void booleanTextsConvertLikeTheCatalogueAlwaysHas() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        try {
            QCOMPARE(db::Value(text.toStdString()).toBoolean() ? 1 : 0, expected);
        } catch (const DbError& e) {
            QCOMPARE(expected, -1);
            QCOMPARE(e.number, db::err::TypeMismatch);
        }
    }
};

QTEST_GUILESS_MAIN(TestCatalogueFile)
#include "tst_catalogue.moc"

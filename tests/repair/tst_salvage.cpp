// Salvage of damaged catalogues through SQLite's own recovery.
#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include "catalogue/Catalogue.h"
#include "catalogue/Orders.h"
#include "repair/Maintenance.h"
#include "repair/Salvage.h"
#include "sqlite/DbError.h"
#include "support/Damage.h"
#include "support/OrderChecks.h"
#include "support/TestCatalogue.h"

using db::DbError;
namespace salvage = db::salvage;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

constexpr int Records = 100000;
const std::string Module = QUORVANE_PAGE_TABLE_MODULE;

// Every record tells its row id: a salvaged record can be checked against what it was.
void writeLargeCatalogue(const std::string& path) {
    db::catalogue::makeCatalogue(path, false);
    db::Connection connection;
    connection.open(path);
    db::Transaction transaction(connection);
    db::Statement insert(connection,
                         "INSERT INTO Main (rowid, Artist, Title, Category, Format) "
                         "VALUES (?, ?, ?, 'Rock', 'CD')");
    for (int id = 1; id <= Records; ++id) {
        const std::string artist = "Artist " + std::to_string(id % 997);
        const std::string title = QString::asprintf("Title %06d", id).toStdString();
        insert.bind(1, db::Value(std::int64_t{id})).bindText(2, artist).bindText(3, title);
        insert.step();
        insert.reset();
    }
    connection.execute("UPDATE Options SET optValue = '-1' WHERE option = 1");
    connection.execute("INSERT INTO Category (Category) VALUES ('Zydec')");
    db::catalogue::bringOrdersTrue(connection);  // as the program leaves the file
    transaction.commit();
}

// A file SQLite cannot open or check counts as failing the check.
bool passesQuickCheck(const QString& path) {
    sqlite3* handle = nullptr;
    bool ok = false;
    if (sqlite3_open_v2(path.toUtf8().constData(), &handle, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* check = nullptr;
        if (sqlite3_prepare_v2(handle, "PRAGMA quick_check", -1, &check, nullptr) == SQLITE_OK &&
            sqlite3_step(check) == SQLITE_ROW) {
            ok = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(check, 0))) == "ok";
        }
        sqlite3_finalize(check);
    }
    sqlite3_close(handle);
    return ok;
}

qint64 countOf(db::Connection& connection, const std::string& sql) {
    db::Statement statement(connection, sql);
    return statement.step() ? statement.integerColumn(0) : -1;
}

enum Damage { MiddlePages, HeaderZeroed, HeaderRandom, MainRoot };

void damage(const QString& path, Damage kind) {
    constexpr int PageSize = 4096;  // the engine's default, which the catalogue keeps
    switch (kind) {
        case MiddlePages:  // 50 pages of random bytes halfway through the file
            testing::overwrite(path, QFileInfo(path).size() / PageSize / 2 * PageSize,
                               testing::garbage(50 * PageSize, 11));
            break;
        case HeaderZeroed:  // everything after the magic string
            testing::overwrite(path, 16, QByteArray(84, '\0'));
            break;
        case HeaderRandom: {  // all 100 bytes, but for the read and write versions
            QByteArray header = testing::garbage(100, 12);
            header[18] = header[19] = 1;
            testing::overwrite(path, 0, header);
            break;
        }
        case MainRoot: {
            db::Connection connection;
            connection.open(path.toStdString());
            const auto root =
                countOf(connection, "SELECT rootpage FROM sqlite_schema WHERE name = 'Main'");
            connection.close();
            testing::overwrite(path, (root - 1) * PageSize, testing::garbage(PageSize, 13));
            break;
        }
    }
}

}  // namespace

class TestSalvage : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY(original_.isValid());
        writeLargeCatalogue(original_.filePath("Zembo.mdb").toStdString());
    }

    // The page reader is looked for beside the program (a copy of its folder), then in
    // ../lib/quorvane (the build tree), then where it is installed; a missing one is named.
    void thePageReaderIsFoundWhereverTheProgramIs_data() {
        QTest::addColumn<QString>("at");
        QTest::newRow("beside the program") << "bin";
        QTest::newRow("build tree") << "lib/quorvane";
        QTest::newRow("installed") << "installed";
        QTest::newRow("missing") << "";
    }
    void thePageReaderIsFoundWhereverTheProgramIs() {
        QFETCH(QString, at);
        QTemporaryDir dir;
        const QString program = dir.filePath("bin"), installed = dir.filePath("installed");
        for (const QString& folder : {program, installed, dir.filePath("lib/quorvane")}) {
            QVERIFY(QDir().mkpath(folder));
        }
        const QString placed = dir.filePath(at + "/" + salvage::PageTableFile);
        if (!at.isEmpty()) {
            QVERIFY(QFile::copy(QString::fromStdString(Module), placed));
        }
        try {
            const std::string found =
                salvage::findPageTableModule(program.toStdString(), installed.toStdString());
            QCOMPARE(QString::fromStdString(found), placed);
        } catch (const DbError& missing) {
            QVERIFY(at.isEmpty());
            QVERIFY2(missing.description.starts_with(
                         "the repair's page reader is missing: " + program.toStdString() + "/" +
                         salvage::PageTableFile),
                     missing.description.c_str());
        }
    }

    void moduleIsFoundBesideTheProgram() {
        QVERIFY(std::filesystem::equivalent(salvage::pageTableModule(), Module));
    }

    void damagedCatalogueIsSalvaged_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("leastSaved");
        QTest::addColumn<qint64>("claimed");  // -1: no count of the damaged file could be read
        // Measured: 100 000 records saved each time. The middle of the file holds the orders'
        // tables, which are made again, and one of them still counts the records.
        QTest::newRow("pages of garbage mid-file") << int(MiddlePages) << 97000 << qint64(Records);
        QTest::newRow("header zeroed after the magic")
            << int(HeaderZeroed) << Records << qint64(-1);
        QTest::newRow("header random, versions kept") << int(HeaderRandom) << Records << qint64(-1);
        QTest::newRow("root page of Main overwritten")
            << int(MainRoot) << Records << qint64(Records);
    }

    void damagedCatalogueIsSalvaged() {
        QFETCH(int, kind);
        QFETCH(int, leastSaved);
        QFETCH(qint64, claimed);
        QTemporaryDir dir;
        const QString damaged = dir.filePath("Zembo.mdb");
        const QString target = dir.filePath("ZemboSALVAGED.mdb");
        QVERIFY(QFile::copy(original_.filePath("Zembo.mdb"), damaged));
        damage(damaged, Damage(kind));
        QVERIFY(!passesQuickCheck(damaged));

        const auto result =
            salvage::salvageInto(damaged.toStdString(), target.toStdString(), Module);
        qInfo("saved %lld of %s", static_cast<long long>(result.saved),
              result.claimed ? std::to_string(*result.claimed).c_str() : "an unknown number");
        QVERIFY(passesQuickCheck(target));
        QVERIFY2(result.saved >= leastSaved, std::to_string(result.saved).c_str());
        QVERIFY(result.saved <= Records);
        QCOMPARE(qint64(result.claimed.value_or(-1)), claimed);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                 (QStringList{"Zembo.mdb", "ZemboSALVAGED.mdb"}));

        db::Connection connection;
        connection.open(target.toStdString());
        QCOMPARE(countOf(connection, "SELECT count(*) FROM Main"), qint64(result.saved));
        // Records keep their row ids and their texts.
        QCOMPARE(countOf(connection,
                         "SELECT count(*) FROM Main WHERE Title IS NOT "
                         "printf('Title %06d', rowid) OR Artist IS NOT 'Artist ' || "
                         "(rowid % 997) OR Category IS NOT 'Rock' OR Format IS NOT "
                         "'CD'"),
                 qint64(0));
        // The small tables were not hit: they come through as they were.
        QCOMPARE(countOf(connection, "SELECT optValue FROM Options WHERE option = 1"), qint64(-1));
        QCOMPARE(countOf(connection, "SELECT count(*) FROM Options"), qint64(3));
        QCOMPARE(countOf(connection, "SELECT count(*) FROM Category WHERE Category = 'Zydec'"),
                 qint64(1));
        QCOMPARE(countOf(connection, "SELECT count(*) FROM ReportTitle"), qint64(1));
        // The orders are made at the opening, every record in its places.
        db::catalogue::prepareOrders(connection);
        db::Statement objects(connection, testing::OrderObjectsSql);
        QVERIFY(objects.step());
        QCOMPARE(objects.textColumn(0).value_or(""), std::string_view("6,18"));
        QCOMPARE(countOf(connection, testing::misplacedSql()), qint64(0));
    }

    // The repair checks the orders against Main, record for record, and makes them again
    // when they disagree, even where whoever wrote them left no mark of it.
    void theRepairMakesOrdersThatDisagreeWithMainAgain_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("agreed");
        const QString unmarked = "UPDATE OrderState SET Stale = 0;";
        QTest::newRow("as the program left it") << "" << true;
        QTest::newRow("a stray place")
            << "INSERT INTO ArtistOrder VALUES (X'01', X'01', 999999);" + unmarked << false;
        QTest::newRow("a place missing")
            << "DELETE FROM TitleOrder WHERE Id = 3;" + unmarked << false;
        QTest::newRow("a record placed twice")
            << "INSERT INTO FormatOrder SELECT FormatKey, X'00', TitleKey, Id FROM FormatOrder "
               "WHERE Id = 4;" +
                   unmarked
            << false;
        QTest::newRow("rows renumbered, the ids as Main's")
            << "DELETE FROM Main WHERE rowid = 2; VACUUM; UPDATE OrderState SET FirstId = 1, "
               "LastId = (SELECT max(rowid) FROM Main), Stale = 0;"
            << false;
    }
    void theRepairMakesOrdersThatDisagreeWithMainAgain() {
        QFETCH(QString, change);
        QFETCH(bool, agreed);
        testing::TestCatalogue file(testing::numberedRecords(6));
        if (!change.isEmpty()) {
            QCOMPARE(testing::stockTool(file.path(), change), QString());
        }
        db::Connection before;
        before.open(file.path().toStdString());
        QCOMPARE(db::catalogue::ordersAgree(before), agreed);
        before.close();
        const auto result = db::maintenance::rebuildCatalogue(file.directory().toStdString() + "/");
        QCOMPARE(result.outcome, db::maintenance::RebuildResult::Done);
        db::Connection repaired;
        repaired.open(file.path().toStdString());
        QVERIFY(db::catalogue::ordersAgree(repaired));
        QCOMPARE(countOf(repaired, testing::misplacedSql()), qint64(0));
        QCOMPARE(countOf(repaired, "SELECT count(*) FROM OrderNotes"), qint64(0));
    }

    // Without its page reader a damaged catalogue is left as it is, and nothing is written.
    void aMissingPageReaderLeavesTheDamagedFileAsItIs() {
        testing::TestCatalogue file(testing::numberedRecords(3000));
        const QStringList leaves =
            file.column("SELECT pageno FROM dbstat WHERE name = 'Main' AND pagetype = 'leaf'");
        testing::spoilPage(file.path(), leaves[leaves.size() / 2].toLongLong());
        const QByteArray damaged = readAll(file.path());
        const auto result = db::maintenance::rebuildCatalogue(
            file.directory().toStdString() + "/", {}, "Zembo.mdb", []() -> std::string {
                throw DbError(db::err::Unspecified, "the repair's page reader is missing: here.");
            });
        QCOMPARE(result.outcome, db::maintenance::RebuildResult::NotSalvaged);
        QVERIFY2(
            result.why.ends_with("is damaged, and cannot be salvaged here: the repair's page "
                                 "reader is missing: here. The damaged file is kept as it is."),
            result.why.c_str());
        QCOMPARE(readAll(file.path()), damaged);
        QCOMPARE(QDir(file.directory()).entryList(QDir::Files), QStringList{"Zembo.mdb"});
    }

    void unsalvageableFileIsRefused_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("targetTaken");
        QTest::addColumn<QString>("module");
        QTest::addColumn<QString>("said");
        const QString module = QString::fromStdString(Module);
        QTest::newRow("random bytes")
            << testing::garbage(65536, 14) << false << module << "file is not a database";
        QTest::newRow("empty file") << QByteArray() << false << module << "no table";
        QTest::newRow("target taken") << QByteArray() << true << module << "already there";
        QTest::newRow("module missing") << QByteArray() << false << module + ".gone"
                                        << "is missing";
    }

    void unsalvageableFileIsRefused() {
        QFETCH(QByteArray, contents);
        QFETCH(bool, targetTaken);
        QFETCH(QString, module);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString damaged = dir.filePath("Zembo.mdb");
        const QString target = dir.filePath("ZemboSALVAGED.mdb");
        testing::overwrite(damaged, 0, contents);
        if (targetTaken) {
            testing::overwrite(target, 0, "kept");
        }
        try {
            salvage::salvageInto(damaged.toStdString(), target.toStdString(), module.toStdString());
            QFAIL("nothing was salvaged, and no failure said so");
        } catch (const DbError& error) {
            QCOMPARE(error.number, db::err::Unspecified);
            QVERIFY2(QString::fromStdString(error.description).contains(said),
                     error.description.c_str());
        }
        QCOMPARE(QFileInfo(target).size(), qint64(targetTaken ? 4 : 0));
        QCOMPARE(QFile::exists(target), targetTaken);
        QCOMPARE(QFileInfo(damaged).size(), qint64(contents.size()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), targetTaken ? 2 : 1);
    }

  private:
    QTemporaryDir original_;
};

QTEST_GUILESS_MAIN(TestSalvage)
#include "tst_salvage.moc"

// The orders of Main kept true whoever writes the file: the stock tool's rows, compactions,
// dumps, rebuilds and hand-written orders, before and during a run; another copy in another
// language; a file held by another program; a read held against other programs' commits.
#include <QProcess>
#include <QtTest>

#include "catalogue/Catalogue.h"
#include "catalogue/Collation.h"
#include "catalogue/Orders.h"
#include "sqlite/DbError.h"
#include "support/OrderChecks.h"
#include "support/TestCatalogue.h"

using db::DbError;
using testing::stockTool;
using testing::TestCatalogue;
namespace catalogue = db::catalogue;

namespace {

// The artists in the order of their keys, the orders checked against the collation, Main's
// columns, and every text byte for byte.
struct KeyedState {
    QStringList order;
    QString misplaced, mainColumns, texts, collation;
};
QStringList column(db::Connection& cn, const std::string& sql) {
    QStringList values;
    db::Statement rows(cn, sql);
    while (rows.step()) {
        values << QString::fromStdString(rows.column(0).text().value_or("<null>"));
    }
    return values;
}
QString texts(db::Connection& cn) {
    return column(cn, "SELECT hex(Artist) || hex(Title) FROM Main ORDER BY rowid").join(",");
}
KeyedState keyedState(db::Connection& cn) {
    const auto column = [&](const std::string& sql) { return ::column(cn, sql); };
    return {column(testing::ArtistsInOrderSql), column(testing::misplacedSql()).join(""),
            column("SELECT group_concat(name) FROM pragma_table_info('Main')").join(""), texts(cn),
            column("SELECT Collation FROM OrderState").join("")};
}

// A shell script running SQL through the stock sqlite3 tool on the catalogue "$F".
QString sql(const QString& statements) {
    return "sqlite3 \"$F\" <<'SQL'\n" + statements + "\nSQL\n";
}

// Runs a shell script on the catalogue at `path` ($F), as another program would write the
// file: what it says on either output.
QString stockScript(const QString& path, const QString& script) {
    QProcess shell;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("F", path);
    shell.setProcessEnvironment(environment);
    shell.start("sh", {"-c", script});
    shell.waitForFinished();
    return QString::fromUtf8(shell.readAllStandardOutput() + shell.readAllStandardError())
        .trimmed();
}

}  // namespace

class TestOrders : public QObject {
    Q_OBJECT

  private slots:
    // Whatever wrote the file before the program opened it (the stock tool's rows, its
    // compaction, a dump loaded into a new file, Main rebuilt, an order written by hand), the
    // orders are true again: every view in its order, every record once, the texts byte for
    // byte, the last record shown and saved where it is, and the stock tool can still write
    // and check the file.
    void ordersFollowEveryWriterBeforeARun_data() {
        QTest::addColumn<QString>("change");  // a shell script; $F is the catalogue
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<bool>("remade");
        const QStringList names = {"abba", "ABBA", "Åge", "Édith Piaf", "Zappa", "Мумий Тролль"};
        const QStringList withoutEdith = {"abba", "ABBA", "Åge", "Zappa", "Мумий Тролль"};
        QTest::newRow("made now") << "" << names << false;
        QTest::newRow("another collation")
            << sql("UPDATE OrderState SET Collation = 'ICU collation 1.0 xx'") << names << true;
        QTest::newRow("rows written by the stock tool")
            << sql("INSERT INTO Main (Artist, Title) VALUES ('Björk', 'Post');"
                   "UPDATE Main SET Artist = 'Bach' WHERE Artist = 'Zappa';"
                   "DELETE FROM Main WHERE Artist = 'abba' COLLATE BINARY;"
                   "UPDATE Main SET rowid = 100 WHERE Artist = 'Åge';"
                   "INSERT OR REPLACE INTO Main (rowid, Artist) VALUES (100, 'Zorn');"
                   "INSERT INTO Main (rowid, Artist) VALUES (101, 'Adès');"
                   "UPDATE OR REPLACE Main SET rowid = 101 WHERE Artist = 'Bach';")
            << QStringList{"ABBA", "Bach", "Björk", "Édith Piaf", "Zorn", "Мумий Тролль"} << false;
        QTest::newRow("odd rows by the stock tool")
            << sql("INSERT INTO Main (Artist) VALUES (replace(hex(zeroblob(5000)), '0', 'b')),"
                   "(char(769, 769)), ('שלום'), (CAST(X'FF' AS TEXT));")
            << QStringList{"\u0301\u0301", "abba",  "ABBA",         "Åge",  QString(10000, 'b'),
                           "Édith Piaf",   "Zappa", "Мумий Тролль", "שלום", "\uFFFD"}
            << false;
        QTest::newRow("keys of its own")
            << sql("UPDATE ArtistOrder SET ArtistKey = X'00';") << names << true;
        QTest::newRow("a place written into an order")
            << sql("INSERT INTO ArtistOrder VALUES (X'01', X'01', 999999);") << names << true;
        QTest::newRow("a place taken from an order")
            << sql("DELETE FROM TitleOrder WHERE Id = 4;") << names << true;
        QTest::newRow("a stock compaction after a gap")
            << sql("DELETE FROM Main WHERE rowid = 2; VACUUM;") << withoutEdith << true;
        QTest::newRow("a dump loaded into a new file")
            << sql("DELETE FROM Main WHERE rowid = 2;") +
                   "sqlite3 \"$F\" .dump > \"$F.sql\" && rm \"$F\" && sqlite3 \"$F\" < \"$F.sql\"\n"
            << withoutEdith << true;
        QTest::newRow("Main rebuilt by a tool")
            << sql("CREATE TABLE New (Artist TEXT COLLATE NOCASE, Title TEXT COLLATE NOCASE, "
                   "Category TEXT COLLATE NOCASE, Format TEXT COLLATE NOCASE);"
                   "INSERT INTO New SELECT * FROM Main WHERE rowid <> 2;"
                   "DROP TABLE Main; ALTER TABLE New RENAME TO Main;")
            << withoutEdith << true;
        QTest::newRow("a trigger of the user's own on Main")
            << sql("CREATE TABLE Audit (Id); CREATE TRIGGER UsersOwn AFTER INSERT ON Main "
                   "BEGIN INSERT INTO Audit VALUES (NEW.rowid); END;")
            << names << false;
        QTest::newRow("keys dropped") << sql(testing::WithoutSortKeysSql) << names << true;
        QTest::newRow("keys kept in Main, as before their tables")
            << sql(QString(testing::WithoutSortKeysSql) + testing::KeysInMainSql) << names << true;
    }
    void ordersFollowEveryWriterBeforeARun() {
        QFETCH(QString, change);
        QFETCH(QStringList, order);
        QFETCH(bool, remade);
        TestCatalogue file;
        for (const char* name : {"Zappa", "Édith Piaf", "ABBA", "Мумий Тролль", "abba", "Åge"}) {
            file.insert({{name, "Album", "Pop", "CD"}});
        }
        if (!change.isEmpty()) {
            const QString said = stockScript(file.path(), change);
            QVERIFY2(said.isEmpty(), qPrintable(said));
        }
        db::Connection before;
        before.open(file.path().toStdString());
        const QString written = texts(before);
        before.close();
        db::Connection cn;
        cn.open(file.path().toStdString());
        std::vector<int> progress;
        catalogue::prepareOrders(cn, [&](int percent) { progress.push_back(percent); });
        const KeyedState state = keyedState(cn);
        QCOMPARE(state.order, order);
        QCOMPARE(state.misplaced, QString("0"));
        QCOMPARE(state.mainColumns, QString("Artist,Title,Category,Format"));
        QCOMPARE(state.texts, written);
        QCOMPARE(state.collation, QString::fromStdString(db::collation::description()));
        QCOMPARE(column(cn, testing::OrderObjectsSql),
                 QStringList{change.contains("UsersOwn") ? "6,19" : "6,18"});
        // Every key made again is said, from 0 to 100; keys of a few new rows are made quietly.
        QCOMPARE(!progress.empty(), remade);
        QCOMPARE(stockTool(file.path(), "PRAGMA integrity_check"), QString("ok"));
        // The last record shown, and a save of it written to it alone.
        db::Recordset rs;
        rs.open(cn, catalogue::mainTable(*db::findView("Artist")));
        rs.moveLast();
        QCOMPARE(QString::fromStdString(rs.field("Artist").toText()), order.last());
        rs.setField("Title", "Saved");
        rs.update();
        QCOMPARE(column(cn, "SELECT Artist FROM Main WHERE Title = 'Saved'"),
                 QStringList{order.last()});
        rs.close();
        // A catalogue that cannot be written gets its keys for the session alone.
        cn.close();
        stockTool(file.path(), "UPDATE OrderState SET Collation = 'other'");
        testing::Unwritable lock(file.path());
        if (lock.took()) {
            db::Connection readOnly;
            readOnly.open(file.path().toStdString());
            catalogue::prepareOrders(readOnly);
            QCOMPARE(keyedState(readOnly).order, order);
        }
    }

    // Another program writes the file while the program shows a record: a compaction that
    // renumbers the rows, Main rebuilt, an order written by hand, another copy in another
    // language. The record shown is found again and the save written to it alone; every view
    // reads every record once, in order. The other copy's keys are never written over.
    void ordersFollowEveryWriterDuringARun_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("order");
        const QStringList names = {"abba", "ABBA", "Åge", "Édith Piaf", "Zappa", "Мумий Тролль"};
        const QStringList withoutEdith = {"abba", "ABBA", "Åge", "Zappa", "Мумий Тролль"};
        QTest::newRow("nothing") << "" << names;
        QTest::newRow("a stock compaction after a gap")
            << "DELETE FROM Main WHERE rowid = 2; VACUUM;" << withoutEdith;
        QTest::newRow("Main rebuilt by a tool")
            << "CREATE TABLE New (Artist TEXT COLLATE NOCASE, Title TEXT COLLATE NOCASE, "
               "Category TEXT COLLATE NOCASE, Format TEXT COLLATE NOCASE);"
               "INSERT INTO New SELECT * FROM Main WHERE rowid <> 2;"
               "DROP TABLE Main; ALTER TABLE New RENAME TO Main;"
            << withoutEdith;
        QTest::newRow("a place written into an order")
            << "INSERT INTO ArtistOrder VALUES (X'01', X'01', 999999);" << names;
        QTest::newRow("the shown record's place taken from an order")
            << "DELETE FROM ArtistOrder WHERE Id = 4;" << names;
        QTest::newRow("another copy's collation, then a title changed")
            << "UPDATE OrderState SET Collation = 'ICU collation 1.0 xx';"
               "UPDATE Main SET Artist = 'Bach' WHERE Artist = 'Zappa';"
            << QStringList{"abba", "ABBA", "Åge", "Bach", "Édith Piaf", "Мумий Тролль"};
    }
    void ordersFollowEveryWriterDuringARun() {
        QFETCH(QString, change);
        QFETCH(QStringList, order);
        TestCatalogue file;
        for (const char* name : {"Zappa", "Édith Piaf", "ABBA", "Мумий Тролль", "abba", "Åge"}) {
            file.insert({{name, "Album", "Pop", "CD"}});
        }
        db::Connection cn;
        cn.open(file.path().toStdString());
        catalogue::prepareOrders(cn);
        db::Recordset rs;
        rs.open(cn, catalogue::mainTable(*db::findView("Artist")));
        rs.moveLast();
        QCOMPARE(rs.field("Artist").toText(), std::string("Мумий Тролль"));
        if (!change.isEmpty()) {
            const QString said = stockTool(file.path(), change);
            QVERIFY2(said.isEmpty(), qPrintable(said));
        }
        db::Connection otherCopy;  // another copy of the program reads the orders first
        otherCopy.open(file.path().toStdString());
        catalogue::bringOrdersTrue(otherCopy);
        otherCopy.close();
        rs.setField("Title", "Saved");
        try {
            rs.update();
        } catch (const DbError& error) {
            QCOMPARE(error.number, db::err::RowChanged);  // found again, and shown
            QCOMPARE(rs.field("Artist").toText(), std::string("Мумий Тролль"));
            rs.setField("Title", "Saved");
            rs.update();
        }
        QCOMPARE(file.column("SELECT Artist || '/' || Title FROM Main WHERE Title <> 'Album'"),
                 QStringList{"Мумий Тролль/Saved"});
        QStringList shown;
        rs.requery();  // the view opened again: records another program wrote are in place
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            shown << QString::fromStdString(rs.field("Artist").toText());
        }
        QCOMPARE(shown, order);
        if (change.contains("Collation")) {  // left to the copy whose keys the file holds
            QCOMPARE(file.column("SELECT Collation FROM OrderState"),
                     QStringList{"ICU collation 1.0 xx"});
            QVERIFY(file.column("SELECT count(*) FROM OrderNotes").first().toInt() > 0);
        } else {
            catalogue::bringOrdersTrue(cn);
            QCOMPARE(keyedState(cn).misplaced, QString("0"));
        }
        QCOMPARE(stockTool(file.path(), "PRAGMA integrity_check"), QString("ok"));
    }

    // Rows written by another program that still holds the file for writing: the catalogue
    // opens and reads every record in order, and they are placed once the file is free.
    void keysWaitForAWriterToFinish() {
        TestCatalogue file({{"Zappa", "Hot Rats", "Rock", "LP"}});
        QVERIFY(stockTool(file.path(), "INSERT INTO Main (Artist) VALUES ('ABBA')").isEmpty());
        db::Connection writer;
        writer.open(file.path().toStdString());
        writer.execute("BEGIN IMMEDIATE");
        writer.execute("UPDATE Options SET optValue = optValue");
        db::Connection cn;
        cn.open(file.path().toStdString());
        catalogue::prepareOrders(cn);
        QCOMPARE(keyedState(cn).order, (QStringList{"ABBA", "Zappa"}));
        const QString inTheFile = "SELECT count(*) FROM main.ArtistOrder";
        QCOMPARE(column(cn, inTheFile.toStdString()), QStringList{"1"});
        writer.execute("ROLLBACK");
        catalogue::bringOrdersTrue(cn);
        QCOMPARE(keyedState(cn).misplaced, QString("0"));
        QCOMPARE(column(cn, inTheFile.toStdString()), QStringList{"2"});
        QCOMPARE(column(cn, "SELECT count(*) FROM temp.sqlite_schema"), QStringList{"0"});

        // A reader that will not let a write be committed: nothing is left open, and the
        // record is in the session's order meanwhile.
        QVERIFY(stockTool(file.path(), "INSERT INTO Main (Artist) VALUES ('Bach')").isEmpty());
        writer.execute("BEGIN");
        column(writer, "SELECT count(*) FROM Main");
        catalogue::bringOrdersTrue(cn);
        QVERIFY(!cn.inTransaction());
        QCOMPARE(keyedState(cn).order, (QStringList{"ABBA", "Bach", "Zappa"}));
        writer.execute("COMMIT");
        // Another program places the record: this one's own orders are let go.
        catalogue::bringOrdersTrue(writer);
        catalogue::bringOrdersTrue(cn);
        QCOMPARE(column(cn, "SELECT count(*) FROM temp.sqlite_schema"), QStringList{"0"});
        QCOMPARE(keyedState(cn).misplaced, QString("0"));
    }

    // While another program holds the file with records waiting, the session's orders are
    // made once, then follow: reads do not make them again, and a record the other program
    // commits meanwhile is placed in them from its note.
    void aHeldFileMakesTheSessionsOrdersOnce() {
        TestCatalogue file({{"Zappa", "Hot Rats", "Rock", "LP"}});
        QVERIFY(stockTool(file.path(), "INSERT INTO Main (Artist) VALUES ('ABBA')").isEmpty());
        db::Connection writer;
        writer.open(file.path().toStdString());
        const auto hold = [&] {
            writer.execute("BEGIN IMMEDIATE");
            writer.execute("UPDATE Options SET optValue = optValue");
        };
        hold();
        db::Connection cn;
        cn.open(file.path().toStdString());
        int made = 0;
        catalogue::prepareOrders(cn, [&](int percent) { made += percent == 100 ? 1 : 0; });
        for (int read = 0; read < 20; ++read) {
            catalogue::bringOrdersTrue(cn);
        }
        QCOMPARE(made, 1);
        writer.execute("INSERT INTO Main (Artist) VALUES ('Bach')");
        writer.execute("COMMIT");
        hold();
        for (int read = 0; read < 20; ++read) {
            catalogue::bringOrdersTrue(cn);
        }
        QCOMPARE(made, 1);
        QCOMPARE(keyedState(cn).order, (QStringList{"ABBA", "Bach", "Zappa"}));
        writer.execute("ROLLBACK");
        catalogue::bringOrdersTrue(cn);  // placed in the file now; the session's orders go
        QCOMPARE(made, 1);
        QCOMPARE(column(cn, "SELECT count(*) FROM temp.sqlite_schema"), QStringList{"0"});
        QCOMPARE(keyedState(cn).misplaced, QString("0"));
    }

    // Records placed by a read inside a transaction of the caller's that is then rolled back
    // are placed again at the next read.
    void placesRolledBackArePlacedAgain() {
        TestCatalogue file({{"Zappa", "Hot Rats", "Rock", "LP"}});
        db::Connection cn;
        cn.open(file.path().toStdString());
        catalogue::prepareOrders(cn);
        QVERIFY(stockTool(file.path(), "INSERT INTO Main (Artist) VALUES ('ABBA')").isEmpty());
        {
            db::Transaction undone(cn);
            catalogue::bringOrdersTrue(cn);
            QCOMPARE(keyedState(cn).order, (QStringList{"ABBA", "Zappa"}));
        }
        catalogue::bringOrdersTrue(cn);
        QCOMPARE(keyedState(cn).order, (QStringList{"ABBA", "Zappa"}));
        QCOMPARE(column(cn, "SELECT count(*) FROM OrderNotes"), QStringList{"0"});
    }

    // A read of the orders holds the file from their last look to its end: another program
    // cannot commit in between (the stock tool, which does not wait, is refused), so nothing is
    // read against orders placed before its change.
    void aReadHoldsTheFileFromThePlacingToItsEnd() {
        TestCatalogue file({{"Zappa", "Hot Rats", "Rock", "LP"}});
        QVERIFY(stockTool(file.path(), "INSERT INTO Main (Artist) VALUES ('ABBA')").isEmpty());
        db::Connection cn;
        cn.open(file.path().toStdString());
        {
            const catalogue::OrderRead read(cn);
            QVERIFY(stockTool(file.path(), "INSERT INTO Main (Artist) VALUES ('Bach')")
                        .contains("locked"));
            QCOMPARE(keyedState(cn).order, (QStringList{"ABBA", "Zappa"}));
        }
        QVERIFY(stockTool(file.path(), "INSERT INTO Main (Artist) VALUES ('Bach')").isEmpty());
        catalogue::bringOrdersTrue(cn);
        QCOMPARE(keyedState(cn).order, (QStringList{"ABBA", "Bach", "Zappa"}));
    }
};

QTEST_GUILESS_MAIN(TestOrders)
#include "tst_orders.moc"

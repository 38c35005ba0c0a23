// Changes taken back and made again: each checked against the file byte for byte, row ids
// included; another program's change is never written over.
#include <QtTest>

#include "app/edits/CatalogueEdits.h"
#include "app/edits/RecordEditor.h"
#include "catalogue/Orders.h"
#include "sqlite/DbError.h"
#include "support/TestCatalogue.h"

using testing::TestCatalogue;

namespace {

db::catalogue::StoredRecord stored(db::Connection& connection, std::int64_t rowId) {
    return db::catalogue::storedRecord(connection, rowId).value();
}

}  // namespace

class TestHistory : public QObject {
    Q_OBJECT

  private slots:
    // The record editor with no window: typing taken back leaves no edit pending; a save
    // writes only the fields typed over (a Null stays Null, blanks at the ends go) as one
    // step; a save another program's change refuses keeps the edit; an unread record takes
    // no edit.
    void theRecordEditorSavesOnlyWhatWasTyped() {
        TestCatalogue file({{"Björk", "Post", db::Value(), "CD"}});
        db::Connection connection;
        connection.open(file.path().toStdString());
        db::catalogue::prepareOrders(connection);
        app::CatalogueEdits edits(connection);
        app::RecordEditor editor(edits);
        db::Recordset records;
        records.open(connection, db::catalogue::mainTable(db::views()[0]));
        const app::RecordEditor::Texts shown = {"Björk", "Post", "", "CD"};
        editor.shown(shown);
        editor.setChanged(true);
        QVERIFY(!editor.pending(shown));  // typed and taken back
        const app::RecordEditor::Texts typed = {"Björk", " Homogenic ", "", "CD"};
        QVERIFY(editor.pending(typed));

        const auto kept = editor.save(records, typed);
        QCOMPARE(kept[1], QString("Homogenic"));
        QCOMPARE(file.column("SELECT Title || '|' || quote(Category) FROM Main"),
                 QStringList{"Homogenic|NULL"});
        QVERIFY(!editor.changed() && !editor.pending(kept));
        QCOMPARE(edits.history().undoName(), QString("Update Record"));

        testing::stockTool(file.path(), "UPDATE Main SET Title = 'Debut'");
        editor.setChanged(true);
        const app::RecordEditor::Texts retyped = {"Björk", "Vespertine", "", "CD"};
        QVERIFY_THROWS_EXCEPTION(db::DbError, editor.save(records, retyped));
        QVERIFY(editor.changed());  // the edit stays, to be saved again
        QCOMPARE(edits.history().stack().count(), 1);  // and the failed write left no step
        QCOMPARE(file.column("SELECT Title FROM Main"), QStringList{"Debut"});

        editor.shownUnread();
        editor.setChanged(true);
        QVERIFY(!editor.changed() && editor.unread());
    }

    // A change as the windows make it, through the catalogue's edits and a recordset, with no
    // window; the record deleted holds a number and a BLOB, put back as such, and an update
    // writes only the text changed.
    void eachChangeIsTakenBackAndMadeAgain_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("name");
        QTest::newRow("add") << "add"
                             << "Add Record";
        QTest::newRow("update") << "update"
                                << "Update Record";
        QTest::newRow("update of Nulls and odd bytes") << "update nulls"
                                                       << "Update Record";
        QTest::newRow("delete") << "delete"
                                << "Delete Record";
    }
    void eachChangeIsTakenBackAndMadeAgain() {
        QFETCH(QString, change);
        QFETCH(QString, name);
        TestCatalogue file({{"ABBA", "Arrival", "Pop", "CD"},
                            {"Björk", "Post", db::Value(), "\xff\xfe"},
                            {"Cale", "Paris 1919", "", "LP"}});
        // As other tools store them: a number, bytes as a BLOB.
        file.execute("UPDATE Main SET Format = 42, Category = X'00FF' WHERE rowid = 3");
        db::Connection connection;
        connection.open(file.path().toStdString());
        db::catalogue::prepareOrders(connection);
        app::CatalogueEdits edits(connection);
        app::History& history = edits.history();
        db::Recordset records;
        records.open(connection, db::catalogue::mainTable(db::views()[0]));
        const QStringList before = testing::exactRowsWithIds(file);
        if (change == "add") {
            const auto id =
                edits.addRecord(records, {"Can", "Tago Mago (40th Anniversary Edition)", "", "LP"});
            QCOMPARE(file.column("SELECT Title FROM Main WHERE rowid = " + std::to_string(id)),
                     QStringList{"Tago Mago (40th Anniversary Ed"});  // cut to its width
        } else if (change == "update") {
            records.setBookmark(1);
            edits.updateRecord(records, {std::nullopt, "Voulez-Vous"});
        } else if (change == "update nulls") {
            records.setBookmark(2);
            edits.updateRecord(records, {std::nullopt, std::nullopt, "Pop"});
            QCOMPARE(file.column("SELECT hex(Format) FROM Main WHERE rowid = 2"),
                     QStringList{"FFFE"});  // left as stored
        } else {
            records.setBookmark(3);
            edits.deleteRecord(records);
        }
        const QStringList after = testing::exactRowsWithIds(file);
        QVERIFY(after != before);
        QCOMPARE(history.undoName(), name);
        QCOMPARE(history.redoName(), QString());
        for (int round = 0; round < 2; ++round) {  // undo, redo, and undo again
            QVERIFY(history.undo().done);
            QCOMPARE(testing::exactRowsWithIds(file), before);
            QCOMPARE(history.redoName(), name);
            if (round == 0) {
                const auto redone = history.redo();
                QVERIFY(redone.done);
                QVERIFY(redone.said.startsWith("Redo: Record "));
                QCOMPARE(testing::exactRowsWithIds(file), after);
            }
        }
        QVERIFY(db::catalogue::ordersAgree(connection));
        // A new change after an undo: nothing to make again.
        records.requery();
        records.setBookmark(1);
        edits.updateRecord(records, {std::nullopt, "Ring Ring"});
        QCOMPARE(history.redoName(), QString());
    }

    // Another program changed or deleted the record, or took its row id, since: said, and
    // nothing written; the step is passed over, so the ones before it can still be taken.
    void anotherProgramsChangeIsNeverWrittenOver() {
        TestCatalogue file({{"ABBA", "Arrival", "Pop", "CD"}, {"Björk", "Post", "Pop", "CD"}});
        db::Connection connection;
        connection.open(file.path().toStdString());
        db::catalogue::prepareOrders(connection);
        app::History history(connection);
        const auto was = stored(connection, 1);
        connection.execute("UPDATE Main SET Title = 'Voulez-Vous' WHERE rowid = 1");
        history.recordUpdated(1, was, stored(connection, 1));
        const auto deleted = stored(connection, 2);
        connection.execute("DELETE FROM Main WHERE rowid = 2");
        history.recordDeleted(2, deleted);
        QCOMPARE(testing::stockTool(file.path(),
                                    "INSERT INTO Main (rowid, Artist, Title) VALUES "
                                    "(2, 'Can', 'Ege Bamyasi')"),
                 QString());
        const QStringList held = testing::exactRowsWithIds(file);
        auto outcome = history.undo();
        QVERIFY(!outcome.done);
        QVERIFY2(outcome.said.startsWith("Another record was stored in its place since"),
                 qPrintable(outcome.said));
        QCOMPARE(testing::exactRowsWithIds(file), held);
        QCOMPARE(history.undoName(), QString("Update Record"));
        QCOMPARE(history.redoName(), QString("Delete Record"));
        QCOMPARE(testing::stockTool(file.path(),
                                    "DELETE FROM Main WHERE rowid = 2; UPDATE Main "
                                    "SET Title = 'Waterloo' WHERE rowid = 1"),
                 QString());
        outcome = history.undo();  // the update: changed since
        QVERIFY(!outcome.done);
        QVERIFY2(outcome.said.startsWith("The record was changed by another program since"),
                 qPrintable(outcome.said));
        QVERIFY(!history.redo().done);  // the update made again over Waterloo: no
        outcome = history.redo();       // the delete: the record is gone already
        QVERIFY(!outcome.done);
        QVERIFY2(outcome.said.startsWith("The record was deleted by another program since: "
                                         "there is nothing to make again. This change is passed "
                                         "over: Redo goes on"),
                 qPrintable(outcome.said));
        QCOMPARE(file.column("SELECT Title FROM Main ORDER BY rowid"), QStringList{"Waterloo"});
        // A compaction by another program renumbers the row ids: the steps are forgotten.
        QCOMPARE(testing::stockTool(file.path(),
                                    "INSERT INTO Main (rowid, Artist) VALUES (5, 'Nico'); "
                                    "DELETE FROM Main WHERE rowid = 1; VACUUM"),
                 QString());
        outcome = history.undo();
        QVERIFY(!outcome.done);
        QVERIFY(outcome.said.startsWith("Another program compacted the catalogue since"));
        QCOMPARE(history.undoName(), QString());
        QCOMPARE(history.redoName(), QString());
    }

    // An import of 100 000 rows taken back in one step (two changed by another program since
    // are left), made again with the same row ids, and taken back again.
    void anImportIsTakenBackWhole() {
        TestCatalogue file({{"ABBA", "Arrival", "Pop", "CD"}});
        db::Connection connection;
        connection.open(file.path().toStdString());
        db::catalogue::prepareOrders(connection);
        app::History history(connection);
        const QStringList before = testing::exactRowsWithIds(file);
        connection.execute(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
            "INSERT INTO Main SELECT 'Artist ' || i, 'Title ' || i, NULL, 'CD' FROM n");
        history.recordsImported(2, 100001);
        QCOMPARE(history.undoName(), QString("Import of 100,000 Records"));
        QCOMPARE(history.undoRecords(), 100000);
        const QStringList imported = testing::exactRowsWithIds(file);
        auto outcome = history.undo();
        QVERIFY(outcome.done);
        QCOMPARE(outcome.said, QString("Undo: 100,000 Records Imported"));
        QCOMPARE(testing::exactRowsWithIds(file), before);
        QVERIFY(history.redo().done);
        QCOMPARE(testing::exactRowsWithIds(file), imported);
        QCOMPARE(testing::stockTool(file.path(),
                                    "UPDATE Main SET Title = 'Mine' WHERE rowid IN "
                                    "(7, 70000)"),
                 QString());
        outcome = history.undo();
        QVERIFY(outcome.done);
        QCOMPARE(outcome.said, QString("Undo: 100,000 Records Imported (2 records changed by "
                                       "another program since left as they are)"));
        QCOMPARE(file.column("SELECT rowid FROM Main ORDER BY rowid"),
                 (QStringList{"1", "7", "70000"}));
        QVERIFY(db::catalogue::ordersAgree(connection));
    }

    // Names added to and deleted from a list, each as one step, back under their row ids.
    void aListsNamesAreTakenBackAndMadeAgain() {
        using db::catalogue::Lookup;
        TestCatalogue file;
        file.execute("DELETE FROM Artist");
        file.execute("INSERT INTO Artist (Artist) VALUES ('ABBA'), ('abba'), ('Björk')");
        db::Connection connection;
        connection.open(file.path().toStdString());
        app::CatalogueEdits edits(connection);
        app::History& history = edits.history();
        db::Recordset list;
        list.open(connection, db::catalogue::lookupTable(Lookup::Artist));
        const auto listed = [&] {
            return file.column("SELECT rowid || '|' || quote(Artist) FROM Artist ORDER BY rowid");
        };
        const QStringList before = listed();
        edits.deleteName(list, Lookup::Artist, "Abba", true);
        QCOMPARE(listed(), QStringList{"3|'Björk'"});
        edits.addName(list, Lookup::Artist, "Nico");
        const QStringList after = listed();
        QCOMPARE(history.undoName(), QString("Add to Artist List"));
        auto outcome = history.undo();
        QCOMPARE(outcome.said, QString("Undo: Name Added to the Artist List"));
        QCOMPARE(outcome.list, std::optional<Lookup>(Lookup::Artist));
        QVERIFY(history.undo().done);
        QCOMPARE(listed(), before);  // both spellings back, in their places
        QVERIFY(history.redo().done && history.redo().done);
        QCOMPARE(listed(), after);
        // A name another program changed since is not taken away.
        QCOMPARE(testing::stockTool(file.path(),
                                    "UPDATE Artist SET Artist = 'Nico Päffgen' "
                                    "WHERE Artist = 'Nico'"),
                 QString());
        outcome = history.undo();
        QVERIFY(!outcome.done);
        QVERIFY(outcome.said.startsWith("The name was changed by another program since"));
    }

    // The report title first written, then emptied to Null: each a step.
    void theReportTitleIsTakenBackAndMadeAgain() {
        TestCatalogue file;
        file.execute("DELETE FROM ReportTitle");
        db::Connection connection;
        connection.open(file.path().toStdString());
        app::History history(connection);
        const auto title = db::catalogue::reportTitleValue();
        const auto titles = [&] { return file.column("SELECT quote(Title) FROM ReportTitle"); };
        connection.execute("INSERT INTO ReportTitle (Title) VALUES ('My Records')");
        const auto id = connection.lastInsertRowId();
        const auto written = *db::catalogue::storedValue(connection, title, id);
        history.titleChanged(id, std::nullopt, written);
        connection.execute("UPDATE ReportTitle SET Title = NULL");
        history.titleChanged(id, written, *db::catalogue::storedValue(connection, title, id));
        QCOMPARE(history.undoName(), QString("Change Report Title"));
        const auto outcome = history.undo();
        QVERIFY(outcome.done && !outcome.record);
        QCOMPARE(titles(), QStringList{"'My Records'"});
        QVERIFY(history.undo().done);
        QCOMPARE(titles(), QStringList{});
        QVERIFY(history.redo().done && history.redo().done);
        QCOMPARE(titles(), QStringList{"NULL"});
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"

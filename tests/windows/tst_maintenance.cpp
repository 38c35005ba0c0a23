// Repair and compact, and delete all records: the questions, the file sequence, Esc, the
// window's state afterwards, and the failures they must survive.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>
#include <optional>

#include "repair/Maintenance.h"
#include "support/Damage.h"
#include "support/MainWindowFixture.h"

using platform::Answer;
using platform::Icon;
using testing::MainWindowFixture;
using testing::shown;

namespace {

QByteArray bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What delete-all must never touch.
QStringList keptTables(testing::TestCatalogue& file) {
    return file.column("SELECT count(*) FROM Artist") +
           file.column("SELECT count(*) FROM Category") +
           file.column("SELECT count(*) FROM Format") +
           file.column("SELECT Title FROM ReportTitle") +
           file.column("SELECT group_concat(optValue) FROM Options");
}

const QString RepairQuestion =
    "This must be an UN-INTERRUPTED process.\r\nIf the database is extremely large this could "
    "take some time.\r\n\r\nDo you really want to Repair the Database?";

}  // namespace

class TestMaintenance : public QObject {
    Q_OBJECT

  private slots:
    void repairCompactsKeepsTheOldFileAndTheView() {
        MainWindowFixture f(testing::numberedRecords(300));
        f.catalogue.execute("DELETE FROM Main WHERE rowid > 1");  // free pages to compact away
        const QString dir = f.catalogue.directory();
        QFile leftover(dir + "/ZemboREBUILT.mdb");  // from an interrupted earlier run
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.write("half a file");
        leftover.close();
        auto& w = shown(f);
        w.mnuViewTitle->trigger();
        const QByteArray before = bytes(f.catalogue.path());  // as the window's reads left it
        w.mnuOptionsAddArtist->trigger();                     // toggled, not yet stored

        f.desktop.answers = {Answer::No};
        QTest::keyClick(&w.window(), Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(f.desktop.messages.back().text, RepairQuestion);
        QCOMPARE(f.desktop.messages.back().title, QString("Repair Database?"));
        QCOMPARE(f.desktop.messages.back().icon, Icon::None);
        QVERIFY(!QFile::exists(dir + "/Zembo.BAK"));
        QCOMPARE(w.lblMsgBar1->text(), QString("Auto Add Artist is On"));

        f.desktop.answers = {Answer::Yes, Answer::Ok};
        QStringList captions;  // the bar covers the status line: it says what runs
        QObject::connect(w.ProgressBar1, &QProgressBar::valueChanged,
                         [&] { captions << w.ProgressBar1->text(); });
        w.mnuRepairDatabase->trigger();
        QVERIFY2(captions.size() > 3 && captions.last() == "Repairing/Compacting Database... 100%",
                 qPrintable(captions.join('|')));
        QCOMPARE(f.desktop.messages.back().text,
                 QString("Repaired and Compacted Quorvane Successfully."));
        QCOMPARE(f.desktop.messages.back().icon, Icon::Information);
        QCOMPARE(w.lblMsgBar1->text(), QString("Repair/Compact Successful"));
        QCOMPARE(w.lblMsgBar3->text(), QString("1 Artists "));  // always the plural, as written
        QCOMPARE(bytes(dir + "/Zembo.BAK"), before);            // the file as it was
        QVERIFY(!QFile::exists(dir + "/ZemboREBUILT.mdb"));
        QVERIFY(bytes(f.catalogue.path()).size() < before.size());
        QCOMPARE(f.catalogue.column("PRAGMA integrity_check"), QStringList{"ok"});
        QCOMPARE(w.lblMsgBar2->text(), QString("View by Title"));  // the view stays
        QCOMPARE(w.CmbArtist->currentText(), QString("Artist 0000"));
        QVERIFY(w.mnuOptionsAddArtist->isChecked() && f.state.autoAddArtistOn());
        QVERIFY(!f.desktop.busy);
        QCOMPARE(f.desktop.beeps, 2);
    }

    // Two copies on one file, and one repairs it: the other finds the new file at the path,
    // opens it, and saves its edit there; what the first saves next, it reads.
    void aSecondCopyFollowsTheFileTheFirstsRepairPutInPlace() {
        MainWindowFixture f(testing::threeRecords());
        auto& a = shown(f);
        testing::ScriptedDesktop otherDesktop;
        otherDesktop.appDirectory = f.catalogue.directory();
        app::AppState other(otherDesktop);
        windows::FrmMain second(other);
        const testing::MainPage b(second);
        second.Form_Load();
        second.show();
        testing::click(b.CmdNext);  // Bob Dylan
        b.txtTitle->setFocus();
        b.txtTitle->selectAll();
        QTest::keyClicks(b.txtTitle, "Highway 61");
        f.desktop.answers = {Answer::Yes, Answer::Ok};
        a.mnuRepairDatabase->trigger();
        QCOMPARE(f.desktop.messages.back().text,
                 QString("Repaired and Compacted Quorvane Successfully."));

        testing::click(b.CmdUpdate);
        QCOMPARE(otherDesktop.messageTexts(), QStringList());
        QCOMPARE(f.catalogue.column("SELECT Title FROM Main WHERE Artist = 'Bob Dylan'"),
                 QStringList{"Highway 61"});
        QCOMPARE(QFileInfo(f.catalogue.directory() + "/Zembo.BAK").size(),
                 QFileInfo(f.catalogue.path()).size());  // the backup as it was: untouched
        testing::stockTool(f.catalogue.path(),
                           "UPDATE Main SET Title = 'Kind of Blue' WHERE "
                           "Artist = 'Coltrane'");
        testing::click(b.CmdNext);
        QCOMPARE(b.txtTitle->text(), QString("Kind of Blue"));
        QCOMPARE(b.lblMsgBar3->text(), QString("3 Artists "));
    }

    void aFailedCompactionEndsTheProgramWithTheCatalogueUntouched() {
        MainWindowFixture f(testing::numberedRecords(20));
        QVERIFY(QDir(f.catalogue.directory()).mkdir("ZemboREBUILT.mdb"));  // cannot be written
        const QByteArray before = bytes(f.catalogue.path());
        auto& w = shown(f);
        f.desktop.answers = {Answer::Yes, Answer::Ok};
        w.mnuRepairDatabase->trigger();
        const QString said = f.desktop.messages.back().text;
        QVERIFY(
            said.startsWith("An error occured during the Repair/Compact Database process!\r\n"
                            "The application will end when the Ok button is clicked.\r\n"));
        QVERIFY(said.contains("process again.\r\n\r\nIMPORTANT: If the application"));
        QVERIFY(
            said.endsWith("try running Quorvane application again.\r\n\r\nZembo.BAK holds 20 "
                          "records; Zembo.mdb counts 20 records."));
        QCOMPARE(said.count("\r\n"), 10);
        QCOMPARE(f.desktop.messages.back().icon, Icon::Critical);
        QCOMPARE(f.desktop.ended, 1);
        QCOMPARE(bytes(f.catalogue.path()), before);
        QCOMPARE(bytes(f.catalogue.directory() + "/Zembo.BAK"), before);
        QCOMPARE(f.catalogue.column("SELECT optValue FROM Options WHERE option = 1"),
                 QStringList{"0"});  // nothing saved on the way out
    }

    // A damaged catalogue is salvaged by the repair: the sound backup beside it stays as it
    // was, the damaged file is kept as Zembo.DAMAGED, a leftover rebuilt copy goes, and the box
    // says how much was saved.
    void aDamagedCatalogueIsSalvagedAndItsBackupKept() {
        MainWindowFixture f(testing::numberedRecords(3000));
        const QString dir = f.catalogue.directory();
        QVERIFY(QFile::copy(f.catalogue.path(), dir + "/Zembo.BAK"));
        const QByteArray backup = bytes(dir + "/Zembo.BAK");
        QVERIFY(QFile::copy(f.catalogue.path(), dir + "/ZemboREBUILT.mdb"));
        const QStringList leaves = f.catalogue.column(
            "SELECT pageno FROM dbstat WHERE name = 'Main' AND pagetype = 'leaf'");
        testing::spoilPage(f.catalogue.path(), leaves[leaves.size() / 2].toLongLong());
        const QByteArray damaged = bytes(f.catalogue.path());
        auto& w = shown(f);
        f.desktop.answers = {Answer::Yes, Answer::Ok};
        w.mnuRepairDatabase->trigger();
        const QString said = f.desktop.messages.back().text;
        const QRegularExpression salvaged(
            "^Repaired and Compacted Quorvane Successfully.\r\n\r\nThe catalogue was "
            "damaged: (\\S+) records of the " +
            QLocale().toString(3000) +
            " it held were saved.\r\nThe damaged file is kept as Zembo.DAMAGED.$");
        const auto match = salvaged.match(said);
        QVERIFY2(match.hasMatch(), qPrintable(said));
        const int saved = QLocale().toInt(match.captured(1));
        QVERIFY2(saved > 2800 && saved < 3000, qPrintable(match.captured(1)));
        QCOMPARE(f.desktop.ended, 0);
        QCOMPARE(bytes(dir + "/Zembo.BAK"), backup);
        QCOMPARE(bytes(dir + "/Zembo.DAMAGED"), damaged);
        QVERIFY(!QFile::exists(dir + "/ZemboREBUILT.mdb"));
        QCOMPARE(f.catalogue.column("PRAGMA integrity_check"), QStringList{"ok"});
        QCOMPARE(w.lblMsgBar3->text(), QString::number(saved) + " Artists ");
        QCOMPARE(w.CmbArtist->currentText(), QString("Artist 0000"));
    }

    // Damage where the start reads (the artist order's index), or a file whose first bytes
    // were wiped, is said, and the repair offered: Yes salvages and goes on, No ends as before.
    void aCatalogueDamagedWhereTheStartReadsOffersTheRepair_data() {
        QTest::addColumn<bool>("repair");
        QTest::addColumn<bool>("wiped");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("saved");
        const QString malformed = "database disk image is malformed";
        const QString counted = QLocale().toString(3000) + " records of the " +
                                QLocale().toString(3000) + " it held were saved.";
        QTest::newRow("repaired") << true << false << malformed << counted;
        QTest::newRow("declined") << false << false << malformed << QString();
        QTest::newRow("header wiped, repaired")
            << true << true << "The first page of '"
            << QLocale().toString(3000) +
                   " records were saved (it could not say how many it held).";
    }
    void aCatalogueDamagedWhereTheStartReadsOffersTheRepair() {
        QFETCH(bool, repair);
        QFETCH(bool, wiped);
        QFETCH(QString, said);
        QFETCH(QString, saved);
        MainWindowFixture f(testing::numberedRecords(3000));
        if (wiped) {
            testing::overwrite(f.catalogue.path(), 0, QByteArray(100, '\0'));
        } else {
            testing::spoilPage(
                f.catalogue.path(),
                f.catalogue.column("SELECT rootpage FROM sqlite_schema WHERE name = 'ArtistOrder'")
                    .value(0)
                    .toLongLong());
        }
        f.desktop.answers = {repair ? Answer::Yes : Answer::No, Answer::Ok, Answer::Ok};
        auto& w = f.load();
        const auto& offer = f.desktop.messages.at(0);
        QVERIFY2(offer.text.startsWith("The catalogue Zembo.mdb is damaged:\r\n" + said),
                 qPrintable(offer.text));
        QVERIFY(
            offer.text.endsWith("\r\n\r\nRepair it now? What can still be read is saved "
                                "into a new catalogue, and the damaged file is kept as "
                                "Zembo.DAMAGED."));
        QCOMPARE(offer.title, QString("Repair Database?"));
        QCOMPARE(offer.icon, Icon::Exclamation);
        if (repair) {
            QCOMPARE(f.desktop.messages.size(), std::size_t(2));
            QVERIFY2(f.desktop.messages.back().text.contains(saved),
                     qPrintable(f.desktop.messages.back().text));
            QCOMPARE(f.desktop.ended, 0);
            QCOMPARE(w.CmbArtist->currentText(), QString("Artist 0000"));
            QCOMPARE(w.lblMsgBar3->text(), QString("3000 Artists "));
            QCOMPARE(f.catalogue.column("PRAGMA integrity_check"), QStringList{"ok"});
        } else {
            QVERIFY(f.desktop.messages.at(1).text.contains("in procedure InitializeDatabase"));
            QVERIFY(!QFile::exists(f.catalogue.directory() + "/Zembo.DAMAGED"));
        }
    }

    void aBackupThatCannotBeWrittenStopsTheRepairSafely() {
        MainWindowFixture f(testing::numberedRecords(20));
        QVERIFY(QDir(f.catalogue.directory()).mkdir("Zembo.BAK"));
        const QByteArray before = bytes(f.catalogue.path());
        auto& w = shown(f);
        f.desktop.answers = {Answer::Yes, Answer::Ok};
        w.mnuRepairDatabase->trigger();
        QVERIFY(f.desktop.messages.back().text.startsWith(
            "The database was not repaired and compacted.\r\n"));
        QCOMPARE(f.desktop.ended, 0);
        QCOMPARE(bytes(f.catalogue.path()), before);
        QVERIFY(w.lblMsgBar1->text().isEmpty());
        QCOMPARE(w.lblMsgBar3->text(), QString("20 Artists "));
        QCOMPARE(w.CmbArtist->currentText(), QString("Artist 0000"));  // opened again
    }

    void aFileHeldByAnotherProgramIsSaidOnceAndNothingChanges_data() {
        QTest::addColumn<bool>("deleteAll");
        QTest::addColumn<QString>("said");
        QTest::newRow("repair") << false << "The database was not repaired and compacted.\r\n";
        QTest::newRow("delete all") << true << "The records could not be deleted; none was.\r\n";
    }
    void aFileHeldByAnotherProgramIsSaidOnceAndNothingChanges() {
        QFETCH(bool, deleteAll);
        QFETCH(QString, said);
        MainWindowFixture f(testing::numberedRecords(20));
        auto& w = shown(f);
        const QByteArray before = bytes(f.catalogue.path());
        testing::FileLock holder(f.catalogue.path());
        f.desktop.onMessage = [&](const auto& message) {
            if (message.buttons == platform::Buttons::Ok) {
                holder.release();  // the other program is done by the time the user reads the box
            }
        };
        f.desktop.answers = {Answer::Yes, Answer::Yes, Answer::Ok};
        (deleteAll ? w.mnuFileDeleteAll : w.mnuRepairDatabase)->trigger();
        QCOMPARE(f.desktop.messages.back().buttons, platform::Buttons::Ok);   // one box, after
        QCOMPARE(f.desktop.messages.size(), std::size_t(deleteAll ? 3 : 2));  // the questions
        QVERIFY(f.desktop.messages.back().text.startsWith(said));
        QVERIFY(f.desktop.messages.back().text.contains("locked by another program"));
        QCOMPARE(f.desktop.ended, 0);
        QVERIFY(!QFile::exists(f.catalogue.directory() + "/Zembo.BAK"));
        QCOMPARE(bytes(f.catalogue.path()), before);
        QCOMPARE(w.CmbArtist->currentText(), QString("Artist 0000"));
        QCOMPARE(w.lblMsgBar3->text(), QString("20 Artists "));
        QVERIFY(w.lblMsgBar1->text() != "Database empty");
    }

    void aRenameThatFailsIsSaidAndTheCatalogueStays() {
        MainWindowFixture f(testing::numberedRecords(20));
        auto& w = shown(f);
        QDir dir(f.catalogue.directory());
        // Just before the rename, the name is taken by a folder; given back before the reopen.
        QObject::connect(w.ProgressBar1, &QProgressBar::valueChanged, [&](int value) {
            if (value == 80) {
                QVERIFY(dir.rename("Zembo.mdb", "aside.mdb") && dir.mkpath("Zembo.mdb/in"));
            } else if (value == 85 && dir.exists("aside.mdb")) {
                QVERIFY(QDir(dir.filePath("Zembo.mdb")).removeRecursively());
                QVERIFY(dir.rename("aside.mdb", "Zembo.mdb"));
            }
        });
        f.desktop.answers = {Answer::Yes, Answer::Ok};
        w.mnuRepairDatabase->trigger();
        QVERIFY(f.desktop.messages.back().text.startsWith(
            "The database was not repaired and compacted.\r\nCannot put the compacted copy"));
        QCOMPARE(f.desktop.ended, 0);
        QVERIFY(!dir.exists("ZemboREBUILT.mdb"));
        QVERIFY(w.lblMsgBar1->text().isEmpty());  // no success said
        QCOMPARE(w.CmbArtist->currentText(), QString("Artist 0000"));
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"20"});
    }

    void aRebuildStartedWhileTheFileIsHeldWritesNothing() {
        testing::TestCatalogue file(testing::numberedRecords(5));
        testing::FileLock holder(file.path());
        const auto result = db::maintenance::rebuildCatalogue(file.directory().toStdString() + "/");
        QCOMPARE(result.outcome, db::maintenance::RebuildResult::InUse);
        QVERIFY(!QFile::exists(file.directory() + "/Zembo.BAK"));
        holder.release();
        QCOMPARE(file.column("SELECT count(*) FROM Main"), QStringList{"5"});
    }

    void aReadOnlyCatalogueIsNotRepairedEmptiedOrImportedInto_data() {
        QTest::addColumn<bool>("folder");
        QTest::newRow("read-only file") << false;
        QTest::newRow("read-only folder") << true;
    }
    void aReadOnlyCatalogueIsNotRepairedEmptiedOrImportedInto() {
        QFETCH(bool, folder);
        MainWindowFixture f(testing::numberedRecords(20));
        const QByteArray before = bytes(f.catalogue.path());
        testing::Unwritable lock(folder ? f.catalogue.directory() : f.catalogue.path());
        if (!lock.took()) {
            QSKIP("this machine cannot make a file unwritable");
        }
        f.desktop.answers = {Answer::Ok, Answer::Ok, Answer::Ok, Answer::Ok};
        auto& w = shown(f);
        w.mnuRepairDatabase->trigger();
        w.mnuFileDeleteAll->trigger();
        w.mnuFileImport->trigger();  // refused before a file is asked for
        const QString readOnly = "The catalogue is read-only: changes cannot be saved";
        QCOMPARE(f.desktop.messageTexts(), (QStringList{readOnly, readOnly, readOnly, readOnly}));
        QCOMPARE(f.desktop.messages.back().icon, Icon::Exclamation);
        QCOMPARE(f.desktop.ended, 0);
        QVERIFY(!QFile::exists(f.catalogue.directory() + "/Zembo.BAK"));
        QCOMPARE(bytes(f.catalogue.path()), before);
        QCOMPARE(w.CmbArtist->currentText(), QString("Artist 0000"));
        QVERIFY(f.state.Modes.mode() == app::Mode::Browsing && !f.desktop.busy);
    }

    void anEditIsOfferedForSavingFirst_data() {
        QTest::addColumn<bool>("deleteAll");
        QTest::newRow("repair: saved") << false;
        QTest::newRow("delete all: not saved") << true;
    }
    void anEditIsOfferedForSavingFirst() {
        QFETCH(bool, deleteAll);
        MainWindowFixture f(testing::numberedRecords(3));
        auto& w = shown(f);
        w.txtTitle->setFocus();
        QTest::keyClicks(w.txtTitle, " (live)");
        f.desktop.answers = deleteAll ? std::deque{Answer::Yes, Answer::Yes, Answer::No}
                                      : std::deque{Answer::Yes, Answer::Yes, Answer::Ok};
        (deleteAll ? w.mnuFileDeleteAll : w.mnuRepairDatabase)->trigger();
        QCOMPARE(f.desktop.messages[deleteAll ? 2 : 1].text,
                 QString("Changes have been made to record\r\nSave Changes?"));
        QCOMPARE(f.catalogue.column("SELECT Title FROM Main WHERE Artist = 'Artist 0000'"),
                 deleteAll ? QStringList() : QStringList{"Title 0 (live)"});
    }

    void deleteAllAsksTwiceAndNoChangesNothing() {
        MainWindowFixture f(testing::numberedRecords(5));
        auto& w = shown(f);
        for (const auto& answers :
             {std::deque<Answer>{Answer::No}, std::deque<Answer>{Answer::Yes, Answer::No}}) {
            f.desktop.answers = answers;
            w.mnuFileDeleteAll->trigger();
        }
        QCOMPARE(f.desktop.messages.size(), std::size_t(3));
        QCOMPARE(f.desktop.messages[0].title, QString("Delete all Records"));
        QCOMPARE(f.desktop.messages[0].icon, Icon::Question);
        QVERIFY(f.desktop.messages[0].text.endsWith(
            "\r\n\r\nDo you really want to Delete all records?"));
        QCOMPARE(f.desktop.messages[2].text,
                 QString("Last chance to change your mind  the Esc key stops the deletion "
                         "process at any time\r\nDo you really want to Delete all records?"));
        QCOMPARE(f.desktop.beeps, 3);
        QCOMPARE(w.lblMsgBar1->text(), QString("Ready"));
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"5"});
        QVERIFY(f.state.Modes.mode() == app::Mode::Browsing);
    }

    void deleteAllOnAnEmptyCatalogue() {
        MainWindowFixture f;
        auto& w = shown(f);
        f.desktop.answers = {Answer::Yes, Answer::Yes};
        w.mnuFileDeleteAll->trigger();
        QCOMPARE(w.lblMsgBar1->text(), QString("Database empty"));
        QVERIFY(!QFile::exists(f.catalogue.directory() + "/Zembo.BAK"));  // no repair
    }

    void aCompletedRunEmptiesTheCatalogueAndCompactsIt() {
        MainWindowFixture f(testing::numberedRecords(400));
        const QStringList kept = keptTables(f.catalogue);
        auto& w = shown(f);
        w.mnuViewFormat->trigger();
        w.mnuOptionsBookmark->trigger();  // toggled, not stored
        f.desktop.answers = {Answer::Yes, Answer::Yes};
        w.mnuFileDeleteAll->trigger();
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"0"});
        QCOMPARE(keptTables(f.catalogue), kept);
        // The orders emptied with Main, nothing left to place, and the triggers back.
        QCOMPARE(f.catalogue.column("SELECT (SELECT count(*) FROM ArtistOrder) + (SELECT "
                                    "count(*) FROM FormatOrder) + (SELECT count(*) FROM "
                                    "OrderNotes)"),
                 QStringList{"0"});
        f.catalogue.execute("INSERT INTO Main (Artist) VALUES ('Zappa')");
        f.catalogue.execute("DELETE FROM Main");
        QCOMPARE(f.catalogue.column("SELECT group_concat(Placed) FROM OrderNotes"),
                 QStringList{"0,1"});
        QCOMPARE(w.lblMsgBar1->text(), QString("Database empty"));
        QCOMPARE(w.lblMsgBar3->text(), QString("0 Artists "));
        QCOMPARE(w.lblMsgBar2->text(), QString("View by Artist"));
        QVERIFY(QFile::exists(f.catalogue.directory() + "/Zembo.BAK"));  // compacted, no question
        QCOMPARE(f.desktop.messages.size(), std::size_t(2));
        QVERIFY(!w.mnuOptionsBookmark->isChecked());
        QCOMPARE(QApplication::focusWidget(), w.CmdAdd);
        QVERIFY(!f.desktop.busy && f.state.Modes.mode() == app::Mode::Browsing);
    }

    void escapeStopsTheRunAndEveryRecordStays_data() {
        QTest::addColumn<bool>("stop");
        QTest::newRow("stop: Yes") << true;
        QTest::newRow("go on: No") << false;
    }
    void escapeStopsTheRunAndEveryRecordStays() {
        QFETCH(bool, stop);
        MainWindowFixture f(testing::numberedRecords(50));
        auto& w = shown(f);
        bool locked = false;
        f.desktop.onEvents = [&] {
            locked = !w.window().centralWidget()->isEnabled() && !w.window().menuBar()->isEnabled();
            QTest::keyClick(&w.window(), Qt::Key_Escape);
            f.desktop.onEvents = {};
        };
        f.desktop.answers = {Answer::Yes, Answer::Yes, stop ? Answer::Yes : Answer::No};
        w.mnuFileDeleteAll->trigger();
        QVERIFY(locked);  // only Esc while the run goes
        QCOMPARE(f.desktop.messages[2].text, QString("Really Cancel Delete Process?"));
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{stop ? "50" : "0"});
        QCOMPARE(w.lblMsgBar1->text(), QString(stop ? "Delete Interupted" : "Database empty"));
        QCOMPARE(w.lblMsgBar3->text(), QString(stop ? "50 Artists " : "0 Artists "));
        QCOMPARE(w.CmbArtist->currentText(), QString(stop ? "Artist 0000" : ""));
        QVERIFY(w.window().centralWidget()->isEnabled());
    }

    void closingTheWindowDuringTheRunStopsItFirst() {
        MainWindowFixture f(testing::numberedRecords(30));
        auto& w = shown(f);
        f.desktop.onEvents = [&] {
            w.window().close();
            f.desktop.onEvents = {};
        };
        f.desktop.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
        w.mnuFileDeleteAll->trigger();
        QCOMPARE(f.desktop.messages.back().text, QString("Really Cancel Delete Process?"));
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"30"});
        QTRY_COMPARE(f.desktop.ended, 1);  // closed once the run had stopped
    }

    void aRunTheFileRefusesDeletesNothing() {
        MainWindowFixture f(testing::numberedRecords(30));
        auto& w = shown(f);
        std::optional<testing::FileLock> holder;
        f.desktop.onEvents = [&] {
            holder.emplace(f.catalogue.path());  // another program takes the file
            f.desktop.onEvents = {};
        };
        f.desktop.onMessage = [&](const auto&) {
            holder.reset();  // the other program is done by the time the user reads the box
        };
        f.desktop.answers = {Answer::Yes, Answer::Yes, Answer::Ok};
        w.mnuFileDeleteAll->trigger();
        QVERIFY(f.desktop.messages.back().text.startsWith(
            "The records could not be deleted; none was.\r\n"));
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"30"});
        QVERIFY(!QFile::exists(f.catalogue.directory() + "/Zembo.BAK"));  // no compaction
        QVERIFY(w.lblMsgBar1->text() != "Database empty");
        QCOMPARE(f.desktop.ended, 0);
    }
};

QTEST_MAIN(TestMaintenance)
#include "tst_maintenance.moc"

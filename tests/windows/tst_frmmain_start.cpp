// The main window's start on good and bad catalogues, its keys and its close.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "support/MainWindowFixture.h"
#include "windows/lookup/LookupEditor.h"

using platform::Answer;
using platform::Icon;
using testing::items;
using testing::MainWindowFixture;
using testing::TestCatalogue;

namespace {

QStringList fields(const testing::MainPage& w) {
    return {w.CmbArtist->currentText(), w.txtTitle->text(), w.CmbCategory->currentText(),
            w.cmbFormat->currentText()};
}

std::vector<TestCatalogue::Row> records() {
    return {{"Queen", "A Night at the Opera", "Rock", "LP"},
            {"ABBA", "Voulez-Vous", "Pop", "CD"},
            {"Miles Davis", "Kind of Blue", "Jazz", "LP"}};
}

}  // namespace

class TestFrmMainStart : public QObject {
    Q_OBJECT

  private slots:
    void startsOnTheFirstRecordOfTheArtistView() {
        MainWindowFixture f(records());
        auto& w = f.load();
        QCOMPARE(fields(w), (QStringList{"ABBA", "Voulez-Vous", "Pop", "CD"}));
        QCOMPARE(w.lblMsgBar1->text(), QString("Ready"));
        QCOMPARE(w.lblMsgBar2->text(), QString("View by Artist"));
        QCOMPARE(w.lblMsgBar3->text(), QString("3 Artists "));
        QCOMPARE(w.recordTally(), 3);
        QVERIFY(w.mnuViewArtist->isChecked());
        QVERIFY(!w.mnuViewTitle->isChecked() && !w.mnuViewCategory->isChecked() &&
                !w.mnuViewFormat->isChecked());
        QCOMPARE(QString::fromStdString(f.state.session.rsMain.index()), QString("Artist"));
        QVERIFY(!w.recordChanged());  // showing a record is not an edit
        QCOMPARE(w.lblDeveloper->text(),
                 f.state.NoticeText + " " + f.state.CompanyText + " " + f.state.VersionText);
        QVERIFY(f.desktop.messages.empty());
        QVERIFY(!f.desktop.busy);
        QCOMPARE(f.state.session.AppDir, f.catalogue.directory() + "/");
        QVERIFY(f.desktop.ended == 0);
    }

    void fillsTheThreeListsOnceEach() {
        MainWindowFixture f;
        f.catalogue.execute(
            "INSERT INTO Artist (Artist) VALUES ('Guns N'' Roses'), ('ABBA'), "
            "('Édith Piaf'), ('abba')");
        const QStringList sorted{"abba", "ABBA", "Édith Piaf", "Guns N' Roses"};
        auto& w = f.load();
        QCOMPARE(items(w.CmbArtist), sorted);
        QCOMPARE(items(w.window().frmArtist()->dropDown), items(w.CmbArtist));
        QCOMPARE(
            items(w.cmbFormat),
            f.catalogue.column("SELECT Format FROM Format ORDER BY quorvane_sort_key(Format)"));
        QCOMPARE(items(w.CmbCategory), f.catalogue.column("SELECT Category FROM Category ORDER "
                                                          "BY quorvane_sort_key(Category)"));
        QVERIFY(f.state.session.rsArtist.isOpen() && f.state.session.rsArtist.eof());

        // Opening the session again (as the maintenance commands do) lists each once.
        w.window().InitializeDatabase();
        QCOMPARE(items(w.CmbArtist), sorted);
        QCOMPARE(items(w.window().frmArtist()->dropDown).size(), 4);
        QCOMPARE(w.cmbFormat->count(), f.catalogue.column("SELECT Format FROM Format").size());
        QVERIFY(w.mnuViewArtist->isChecked());
        QVERIFY(!w.window().frmArtist()->isVisible());
    }

    void emptyCatalogueShowsEmptyFieldsAndZero() {
        MainWindowFixture f;
        auto& w = f.load();
        QCOMPARE(fields(w), (QStringList{"", "", "", ""}));
        QCOMPARE(w.lblMsgBar3->text(), QString("0 Artists "));
        QCOMPARE(w.lblMsgBar1->text(), QString("Ready"));
        QVERIFY(f.desktop.messages.empty());
    }

    void oneRecordSaysArtistInTheSingular() {
        MainWindowFixture f({{"Björk", "Debut", "Pop", "CD"}});
        auto& w = f.load();
        QCOMPARE(w.lblMsgBar3->text(), QString("1 Artist "));
        QCOMPARE(w.CmbArtist->currentText(), QString("Björk"));
        w.window().UpdateRecordTally(true);
        QCOMPARE(w.lblMsgBar3->text(), QString("2 Artists "));
    }

    void nullsShowEmptyAndQuotesAsTyped() {
        MainWindowFixture f({{"O'Connor", nullptr, nullptr, "CD"}});
        auto& w = f.load();
        QCOMPARE(fields(w), (QStringList{"O'Connor", "", "", "CD"}));
        QVERIFY(!w.recordChanged());
    }

    void optionsComeFromTheFile_data() {
        QTest::addColumn<QString>("addArtist");
        QTest::addColumn<QString>("bookmark");
        QTest::addColumn<QString>("toScreen");
        QTest::newRow("stored values") << "-1"
                                       << "0"
                                       << "0";
        QTest::newRow("one reads as on") << "1"
                                         << "1"
                                         << "1";
    }
    void optionsComeFromTheFile() {
        QFETCH(QString, addArtist);
        QFETCH(QString, bookmark);
        QFETCH(QString, toScreen);
        MainWindowFixture f;
        f.catalogue.execute(
            "UPDATE Options SET optValue = CASE option WHEN 1 THEN ? WHEN 2 THEN ? "
            "ELSE ? END",
            {addArtist.toStdString(), bookmark.toStdString(), toScreen.toStdString()});
        auto& w = f.load();
        QCOMPARE(w.mnuOptionsAddArtist->isChecked(), addArtist != "0");
        QCOMPARE(f.state.autoAddArtistOn(), addArtist != "0");
        QCOMPARE(w.mnuOptionsBookmark->isChecked(), bookmark != "0");
        QCOMPARE(w.mnuReportPrintToScreen->isChecked(), toScreen != "0");
        QVERIFY(f.desktop.messages.empty());
    }

    void unreadableOptionKeepsTheDesignMarks() {
        MainWindowFixture f;
        f.catalogue.execute("UPDATE Options SET optValue = 'on' WHERE option = 2");
        f.catalogue.execute("UPDATE Options SET optValue = '0' WHERE option = 3");
        f.desktop.answers = {Answer::Ok};
        auto& w = f.load();
        QCOMPARE(f.desktop.messages.size(), std::size_t(1));
        QCOMPARE(f.desktop.messages[0].text,
                 QString("Error 13 (Type mismatch) in procedure GetOptions of Form 'FrmMain'"));
        QCOMPARE(f.desktop.messages[0].title, QString("Quorvane"));
        QVERIFY(!w.mnuOptionsAddArtist->isChecked());      // read before the fault
        QVERIFY(w.mnuOptionsBookmark->isChecked());        // design mark
        QVERIFY(w.mnuReportPrintToScreen->isChecked());    // never read: design mark
        QCOMPARE(w.lblMsgBar1->text(), QString("Ready"));  // the start goes on
    }

    void missingOptionRowIsReportedAsNoCurrentRecord() {
        MainWindowFixture f;
        f.catalogue.execute("DELETE FROM Options WHERE option = 1");
        f.desktop.answers = {Answer::Ok};
        f.load();
        QCOMPARE(f.desktop.messages.size(), std::size_t(1));
        QVERIFY(f.desktop.messages[0].text.startsWith("Error 3021 ("));
        QVERIFY(f.desktop.messages[0].text.endsWith(") in procedure GetOptions of Form 'FrmMain'"));
    }

    void nullInALookupListKeepsTheRowsBeforeIt_data() {
        QTest::addColumn<QString>("table");
        QTest::newRow("Category") << "Category";
        QTest::newRow("Format") << "Format";
        QTest::newRow("Artist") << "Artist";
    }
    void nullInALookupListKeepsTheRowsBeforeIt() {
        QFETCH(QString, table);
        MainWindowFixture f({{"ABBA", "Arrival", "Pop", "CD"}});
        const auto sql = [&](const char* pattern) {
            return QString(pattern).arg(table).toStdString();
        };
        f.catalogue.execute(sql("DELETE FROM %1"));
        f.catalogue.execute(sql("INSERT INTO %1 (%1) VALUES ('First'), (NULL), ('Third')"));
        f.desktop.answers = {Answer::Ok};
        auto& w = f.load();
        QComboBox* const list = table == "Category" ? w.CmbCategory
                                : table == "Format" ? w.cmbFormat
                                                    : w.CmbArtist;
        QCOMPARE(items(list), QStringList{"First"});
        QCOMPARE(f.desktop.messages.size(), std::size_t(1));
        QCOMPARE(f.desktop.messages[0].text,
                 "Error 94 (Invalid use of Null) in procedure Get" + table + " of Form 'FrmMain'");
        // The start goes on, and the record is shown as stored.
        QCOMPARE(fields(w), (QStringList{"ABBA", "Arrival", "Pop", "CD"}));
        QCOMPARE(w.lblMsgBar1->text(), QString("Ready"));
    }

    // A file that is no catalogue at all says what it is, and what the backup beside it holds.
    void unusableCatalogueEndsTheProgramCleanly_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("ending");
        const QString backup =
            "\r\n\r\nZembo.BAK holds 1 record; how many Zembo.mdb holds cannot "
            "be told.";
        const QString procedure = ") in procedure InitializeDatabase of Form 'FrmMain'";
        QTest::newRow("missing") << "missing"
                                 << "Could not find file" + QString() << procedure;
        QTest::newRow("not a database")
            << "foreign"
            << "The file is not a catalogue: restore it from a backup copy.)" << procedure + backup;
        QTest::newRow("empty") << "empty"
                               << "' is empty: it is not a catalogue.)" << procedure + backup;
        QTest::newRow("locked") << "locked"
                                << "is locked by another program" + QString() << procedure;
        QTest::newRow("no Main table")
            << "no table"
            << "is a SQLite database of another program (it has no table Main with Artist, Title, "
               "Category, Format).)"
            << procedure + backup;
    }
    void unusableCatalogueEndsTheProgramCleanly() {
        QFETCH(QString, fault);
        QFETCH(QString, said);
        QFETCH(QString, ending);
        MainWindowFixture f({{"ABBA", "Arrival", "Pop", "CD"}});
        std::optional<testing::FileLock> holder;
        QVERIFY(QFile::copy(f.catalogue.path(), f.catalogue.directory() + "/Zembo.BAK"));
        if (fault == "missing") {
            QFile::remove(f.catalogue.path());
        } else if (fault == "foreign" || fault == "empty") {
            QFile file(f.catalogue.path());
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(fault == "foreign" ? "This is a letter, not a catalogue.\n" : "");
        } else if (fault == "locked") {
            holder.emplace(f.catalogue.path());
        } else {
            f.catalogue.execute("DROP TABLE Main");
        }
        f.desktop.answers = {Answer::Ok, Answer::Ok};
        f.load();
        QCOMPARE(f.desktop.messages.size(), std::size_t(2));
        const auto& first = f.desktop.messages[0];
        QVERIFY(first.text.startsWith("Error "));
        QVERIFY2(first.text.contains(said) && first.text.endsWith(ending), qPrintable(first.text));
        QCOMPARE(first.icon, Icon::Critical);
        const auto& second = f.desktop.messages[1];
        QCOMPARE(second.text,
                 QString("Error 3704 (Operation is not allowed when the object is closed.) in "
                         "procedure Form_Load of Form 'FrmMain'"));
        QCOMPARE(second.title, QString("Quorvane"));
        QCOMPARE(f.desktop.ended, 1);
        QVERIFY(f.state.Ended);
        QVERIFY(!f.state.session.cnMain.isOpen());
        if (fault == "missing") {
            QVERIFY(!QFile::exists(f.catalogue.path()));
        }
    }

    void viewRoutinesFollowExactNames() {
        MainWindowFixture f(records());
        auto& w = f.load();
        QString name = "title";
        w.window().ShowView(name);
        QCOMPARE(name, QString("TITLE"));
        QVERIFY(w.mnuViewTitle->isChecked() && !w.mnuViewArtist->isChecked());
        QCOMPARE(w.lblMsgBar2->text(), QString("View by Title"));

        w.window().OpenView("Format");
        QCOMPARE(fields(w), (QStringList{"ABBA", "Voulez-Vous", "Pop", "CD"}));
        QVERIFY(w.mnuViewFormat->isChecked() && !w.mnuViewTitle->isChecked());
        QCOMPARE(w.lblMsgBar2->text(), QString("View by Format"));
        w.window().SaveViewName();
        QCOMPARE(f.state.session.SavedView, QString("Format"));

        w.window().OpenView("artist");  // not a view name: the recordset stays closed
        QVERIFY(!f.state.session.rsMain.isOpen());
        QCOMPARE(fields(w), (QStringList{"", "", "", ""}));
        w.window().GetIndex();
        QCOMPARE(QString::fromStdString(f.state.session.rsMain.index()), QString("Format"));
        QCOMPARE(w.CmbArtist->currentText(), QString("ABBA"));
        QVERIFY(!f.desktop.busy);
    }

    void keysBeforeTheControls() {
        MainWindowFixture f(records());
        auto& w = f.load();
        w.window().show();
        QVERIFY(QTest::qWaitForWindowActive(&w.window()));
        w.txtTitle->setFocus();
        QTest::keyClick(w.txtTitle, Qt::Key_F1);
        QCOMPARE(f.desktop.helpRequests.size(), std::size_t(1));
        QCOMPARE(f.desktop.helpRequests[0].context, 10);
        QCOMPARE(f.desktop.helpRequests[0].file, f.state.session.AppDir + "Quorvane.hlp");
        // Add mode keeps Esc for itself; F1 still asks for help.
        w.CmdAdd->click();
        w.txtTitle->setFocus();
        QTest::keyClick(w.txtTitle, Qt::Key_F1);
        QCOMPARE(f.desktop.helpRequests.size(), std::size_t(2));
        QTest::keyClick(w.txtTitle, Qt::Key_Escape);
        QVERIFY(!f.state.Modes.adding());
        // The Help menu does what F1 does.
        w.mnuHelpHelp->trigger();
        QTRY_COMPARE(f.desktop.helpRequests.size(), std::size_t(3));
        QCOMPARE(f.desktop.helpRequests[2].context, 10);
    }

    void editsMarkTheRecordAndMakeUpdateTheDefault() {
        MainWindowFixture f(records());
        auto& w = f.load();
        w.window().show();
        QVERIFY(QTest::qWaitForWindowActive(&w.window()));
        w.txtTitle->setFocus();
        QTest::keyClick(w.txtTitle, Qt::Key_X);
        QVERIFY(w.recordChanged());
        QCOMPARE(w.window().defaultButton(), w.CmdUpdate);
        w.window().DisplayRecord();
        QVERIFY(!w.recordChanged());
        QCOMPARE(w.txtTitle->text(), QString("Voulez-Vous"));
    }

    void windowKeepsItsSize() {
        MainWindowFixture f;
        auto& w = f.load();
        w.window().show();
        const QSize size = w.window().size();
        w.window().resize(size + QSize(120, 80));
        QCOMPARE(w.window().size(), size);
        w.window().showMinimized();
        w.window().showNormal();
        QVERIFY(f.desktop.messages.empty());
    }

    // A changed option is the user's data: File > Exit stores it as closing the window does.
    void closingAndExitBothSaveTheOptions() {
        {
            MainWindowFixture f;
            auto& w = f.load();
            w.mnuOptionsAddArtist->setChecked(true);
            w.mnuOptionsBookmark->setChecked(false);
            w.window().close();
            QCOMPARE(f.desktop.ended, 1);
            QCOMPARE(f.catalogue.column("SELECT optValue FROM Options ORDER BY option"),
                     (QStringList{"-1", "0", "-1"}));
        }
        {
            MainWindowFixture f;
            auto& w = f.load();
            w.mnuOptionsAddArtist->setChecked(true);
            w.mnuExit->trigger();
            QCOMPARE(f.desktop.ended, 1);
            QVERIFY(!f.state.session.cnMain.isOpen() && !f.state.session.rsMain.isOpen());
            QCOMPARE(f.catalogue.column("SELECT optValue FROM Options ORDER BY option"),
                     (QStringList{"-1", "-1", "-1"}));
        }
    }

    void closingWithAnEditAsksToSaveIt_data() {
        QTest::addColumn<bool>("save");
        QTest::newRow("Yes") << true;
        QTest::newRow("No") << false;
    }
    void closingWithAnEditAsksToSaveIt() {
        QFETCH(bool, save);
        MainWindowFixture f(records());
        auto& w = f.load();
        w.txtTitle->setText("Arrival");
        QVERIFY(w.recordChanged());
        f.desktop.answers = {save ? Answer::Yes : Answer::No};
        w.window().close();
        QCOMPARE(f.desktop.messages.size(), std::size_t(1));
        QCOMPARE(f.desktop.messages[0].text,
                 QString("Changes have been made to record\r\nSave Changes?"));
        QCOMPARE(f.desktop.messages[0].title, QString("Update Record"));
        QCOMPARE(f.catalogue.column("SELECT Title FROM Main WHERE Artist = 'ABBA'"),
                 QStringList{save ? "Arrival" : "Voulez-Vous"});
        QCOMPARE(f.desktop.ended, 1);
    }

    void readOnlyCatalogueIsSaidOnceAtTheStart() {
        MainWindowFixture f(records());
        testing::Unwritable lock(f.catalogue.path());
        if (!lock.took()) {
            QSKIP("this machine cannot make a file unwritable");
        }
        f.desktop.answers = {Answer::Ok};
        auto& w = f.load();
        QCOMPARE(f.desktop.messageTexts(),
                 QStringList{"The catalogue is read-only: changes cannot be saved"});
        QCOMPARE(f.desktop.messages[0].icon, Icon::Information);
        QCOMPARE(fields(w), (QStringList{"ABBA", "Voulez-Vous", "Pop", "CD"}));
        QCOMPARE(w.lblMsgBar1->text(), QString("Ready"));
        w.mnuOptionsAddArtist->setChecked(true);
        w.window().close();  // the options are not stored, and that is not said again
        QCOMPARE(f.desktop.messages.size(), std::size_t(1));
        QCOMPARE(f.desktop.ended, 1);
    }

    void exitOffersToSaveAnEditAndStoresTheOptions() {
        MainWindowFixture f(records());
        auto& w = f.load();
        w.mnuOptionsAddArtist->setChecked(true);
        w.txtTitle->setText("Arrival");
        f.desktop.answers = {Answer::Yes};
        w.mnuExit->trigger();
        QCOMPARE(f.desktop.messageTexts(),
                 QStringList{"Changes have been made to record\r\nSave Changes?"});
        QCOMPARE(f.catalogue.column("SELECT Title FROM Main WHERE Artist = 'ABBA'"),
                 QStringList{"Arrival"});
        QCOMPARE(f.catalogue.column("SELECT optValue FROM Options WHERE option = 1"),
                 QStringList{"-1"});
        QCOMPARE(f.desktop.ended, 1);
    }

    void optionsThatCannotBeStoredAreSaid() {
        MainWindowFixture f(records());
        auto& w = f.load();
        w.mnuOptionsAddArtist->setChecked(true);
        testing::FileLock holder(f.catalogue.path());
        f.desktop.answers = {Answer::Ok};
        w.window().close();
        holder.release();
        QCOMPARE(f.desktop.messages.size(), std::size_t(1));
        QVERIFY(f.desktop.messages[0].text.startsWith("Error "));
        QVERIFY(f.desktop.messages[0].text.endsWith(") in procedure SetOptions of Form 'FrmMain'"));
        QCOMPARE(f.desktop.ended, 1);  // closing is never refused
        QCOMPARE(f.catalogue.column("SELECT optValue FROM Options ORDER BY option"),
                 (QStringList{"0", "-1", "-1"}));
    }
};

QTEST_MAIN(TestFrmMainStart)
#include "tst_frmmain_start.moc"

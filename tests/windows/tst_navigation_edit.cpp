// Moving through the records, saving and discarding edits, and deleting, driven by the
// buttons and keys a user presses, checked against the rows in the file.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "support/MainWindowFixture.h"

using platform::Answer;
using platform::Icon;
using testing::click;
using testing::MainWindowFixture;
using testing::shown;
using testing::TestCatalogue;
using testing::threeRecords;

namespace {

QString shownArtist(const testing::MainPage& w) {
    return w.CmbArtist->currentText();
}

}  // namespace

class TestNavigationEdit : public QObject {
    Q_OBJECT

  private slots:
    void movesAndBeepsAtTheEnds() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        click(w.CmdNext);
        QCOMPARE(shownArtist(w), QString("Bob Dylan"));
        QCOMPARE(w.lblMsgBar1->text(), QString("Next Record"));
        QCOMPARE(f.desktop.beeps, 0);
        click(w.CmdLast);
        QCOMPARE(shownArtist(w), QString("Coltrane"));
        QCOMPARE(w.lblMsgBar1->text(), QString("Last Record"));
        QCOMPARE(f.desktop.beeps, 1);
        click(w.CmdNext);  // on the last record: one beep, stays
        QCOMPARE(shownArtist(w), QString("Coltrane"));
        QCOMPARE(w.lblMsgBar1->text(), QString("Last Record"));
        QCOMPARE(f.desktop.beeps, 2);
        click(w.CmdPrev);
        QCOMPARE(w.lblMsgBar1->text(), QString("Previous Record"));
        click(w.CmdFirst);
        QCOMPARE(shownArtist(w), QString("ABBA"));
        QCOMPARE(w.lblMsgBar1->text(), QString("First Record"));
        QCOMPARE(f.desktop.beeps, 3);
        click(w.CmdFirst);  // already first: still beeps
        QCOMPARE(f.desktop.beeps, 4);
        click(w.CmdPrev);  // on the first record: one beep, stays
        QCOMPARE(shownArtist(w), QString("ABBA"));
        QCOMPARE(w.lblMsgBar1->text(), QString("First Record"));
        QCOMPARE(f.desktop.beeps, 5);
        QVERIFY(f.desktop.messages.empty());
    }

    void pageKeysMoveAndLeaveTheListsAlone() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        w.CmbCategory->setFocus();
        QTest::keyClick(w.CmbCategory, Qt::Key_PageDown);
        QCOMPARE(shownArtist(w), QString("Bob Dylan"));
        QCOMPARE(w.CmbCategory->currentText(), QString("Rock"));  // the list did not move
        QVERIFY(!w.recordChanged());
        QTest::keyClick(w.CmbCategory, Qt::Key_PageUp);
        QCOMPARE(shownArtist(w), QString("ABBA"));
        w.txtTitle->setFocus();
        QTest::keyClick(w.txtTitle, Qt::Key_PageDown);
        QTest::keyClick(w.txtTitle, Qt::Key_PageDown);
        QCOMPARE(shownArtist(w), QString("Coltrane"));
    }

    void pageKeyOnAnEmptyFieldLeavesTheRecordAsItIs() {
        // Only an entry in add mode gets a blank: here the key is a move, not an edit.
        MainWindowFixture f({{"ABBA", "Arrival", nullptr, "CD"}});
        auto& w = shown(f);
        w.CmbCategory->setFocus();
        const int selected = w.CmbCategory->currentIndex();
        QTest::keyClick(w.CmbCategory, Qt::Key_PageUp);
        QCOMPARE(w.lblMsgBar1->text(), QString("First Record"));
        QCOMPARE(w.CmbCategory->currentText(), QString());
        QCOMPARE(w.CmbCategory->currentIndex(), selected);
        QVERIFY(!w.recordChanged());
    }

    void emptyCatalogueSaysNoCurrentRecord() {
        MainWindowFixture f;
        auto& w = shown(f);
        f.desktop.answers = {Answer::Ok, Answer::Ok, Answer::Ok};
        click(w.CmdFirst);
        QCOMPARE(f.desktop.beeps, 1);
        QCOMPARE(f.desktop.messages.size(), std::size_t(1));
        QCOMPARE(f.desktop.messages[0].text, QString("No Current Record!"));
        QCOMPARE(f.desktop.messages[0].title, QString("ERROR"));
        QCOMPARE(f.desktop.messages[0].icon, Icon::Critical);
        QCOMPARE(w.lblMsgBar1->text(), QString("Ready"));  // no status on this path
        click(w.CmdNext);
        QCOMPARE(f.desktop.messages.size(), std::size_t(2));
        QCOMPARE(w.lblMsgBar1->text(), QString("Last Record"));
        click(w.CmdPrev);
        QCOMPARE(f.desktop.messages.size(), std::size_t(3));
        QCOMPARE(w.lblMsgBar1->text(), QString("First Record"));
        QCOMPARE(f.desktop.beeps, 2);
        QCOMPARE(w.CmbArtist->currentText(), QString());
    }

    void otherFailuresOfFirstAndLastAreSaidAndPassedOver() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        w.window().OpenView("no such view");  // leaves the main recordset closed
        f.desktop.answers = {Answer::Ok};
        click(w.CmdFirst);
        QCOMPARE(f.desktop.messages.size(), std::size_t(1));
        QCOMPARE(f.desktop.messages[0].text,
                 QString("Undetermined error occured!\r\nError = \"Operation is not allowed when "
                         "the object is closed.\""));
        QCOMPARE(f.desktop.messages[0].title, QString("ERROR"));
        QCOMPARE(w.lblMsgBar1->text(), QString("First Record"));  // the steps after it ran
        QCOMPARE(f.desktop.beeps, 1);
    }

    void anEditIsOfferedBeforeEveryMove() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        w.txtTitle->setFocus();
        w.txtTitle->selectAll();
        QTest::keyClicks(w.txtTitle, "Waterloo");
        QVERIFY(w.recordChanged());
        f.desktop.answers = {Answer::Yes};
        click(w.CmdNext);
        QCOMPARE(f.desktop.messages.back().text,
                 QString("Changes have been made to record\r\nSave Changes?"));
        QCOMPARE(f.desktop.messages.back().title, QString("Update Record"));
        QCOMPARE(f.desktop.messages.back().icon, Icon::Question);
        QCOMPARE(shownArtist(w), QString("Bob Dylan"));
        QCOMPARE(f.catalogue.column("SELECT Title FROM Main WHERE Artist = 'ABBA'"),
                 QStringList{"Waterloo"});
        QVERIFY(!w.recordChanged());

        w.txtTitle->setFocus();
        QTest::keyClicks(w.txtTitle, " (live)");
        QVERIFY(w.recordChanged());  // a shown record is still heard when edited
        f.desktop.answers = {Answer::No};
        click(w.CmdPrev);
        QCOMPARE(shownArtist(w), QString("ABBA"));
        QCOMPARE(f.catalogue.column("SELECT Title FROM Main WHERE Artist = 'Bob Dylan'"),
                 QStringList{"Blonde on Blonde"});
        QVERIFY(!w.recordChanged());

        for (QComboBox* box : {w.CmbArtist, w.CmbCategory, w.cmbFormat}) {
            box->setFocus();
            QTest::keyClick(box, Qt::Key_X);
            QVERIFY(w.recordChanged());
            w.window().DisplayRecord();
            QVERIFY(!w.recordChanged());
        }
    }

    void updateSavesCutFieldsAndBeeps() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        w.CmbArtist->setEditText(QString(35, 'a'));
        w.CmbCategory->setEditText("Progressive Rock Fusion");  // 23 characters
        w.cmbFormat->setEditText("Cassette");
        QCOMPARE(w.window().defaultButton(), w.CmdUpdate);
        w.txtTitle->setFocus();
        QTest::keyClick(w.txtTitle, Qt::Key_Return);  // Enter presses Update
        QCOMPARE(w.lblMsgBar1->text(), QString("Record Updated"));
        QCOMPARE(f.desktop.beeps, 1);
        QVERIFY(f.desktop.messages.empty());  // Update does not ask
        QCOMPARE(f.catalogue.column("SELECT Artist || '|' || Category || '|' || Format FROM Main "
                                    "WHERE Title = 'Arrival'"),
                 QStringList{QString(30, 'a') + "|Progressive Roc|Casse"});
        QVERIFY(!w.recordChanged());
        QVERIFY(!f.desktop.busy);
    }

    void updateWithoutEditsOnlyRefreshes() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        click(w.CmdUpdate);
        QCOMPARE(w.lblMsgBar1->text(), QString("Ready"));
        QCOMPARE(f.desktop.beeps, 0);
        QCOMPARE(w.txtTitle->text(), QString("Arrival"));
    }

    void updateOnAnEmptyCatalogueSendsTheUserToAdd() {
        MainWindowFixture f;
        auto& w = shown(f);
        w.txtTitle->setText("Something");
        f.desktop.answers = {Answer::Ok};
        click(w.CmdUpdate);
        QCOMPARE(f.desktop.messages.size(), std::size_t(1));
        QCOMPARE(f.desktop.messages[0].text,
                 QString("No Records to Update, click the Add button to add a record."));
        QCOMPARE(f.desktop.messages[0].icon, Icon::Information);
        QCOMPARE(QApplication::focusWidget(), w.CmdAdd);
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"0"});
    }

    void failedSaveIsReportedAndKeepsTheEdit() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        w.txtTitle->setText("Waterloo");
        // The row disappears behind the window's back.
        f.catalogue.execute("DELETE FROM Main WHERE Artist = 'ABBA'");
        f.desktop.answers = {Answer::Ok};
        click(w.CmdUpdate);
        QCOMPARE(f.desktop.messages.size(), std::size_t(1));
        QVERIFY(f.desktop.messages[0].text.startsWith("The record could not be saved."));
        QVERIFY(w.lblMsgBar1->text() != "Record Updated");
        QCOMPARE(f.desktop.beeps, 0);
        QVERIFY(w.recordChanged());
        QCOMPARE(w.txtTitle->text(), QString("Waterloo"));
        // The record gone is gone from the window too: the first is the first there is, the
        // tally counts what the file holds.
        f.desktop.answers = {Answer::No};  // the edit not saved
        click(w.CmdFirst);
        QCOMPARE(w.CmbArtist->currentText(), QString("Bob Dylan"));
        QCOMPARE(w.lblMsgBar3->text(), QString("2 Artists "));
        click(w.CmdLast);
        click(w.CmdFirst);
        QCOMPARE(w.CmbArtist->currentText(), QString("Bob Dylan"));
    }

    void deleteShowsTheNeighbour() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        click(w.CmdNext);  // Bob Dylan, the middle one
        f.desktop.answers = {Answer::Yes};
        click(w.CmdDelete);
        QCOMPARE(f.desktop.messages.back().text, QString("Delete Current Record."));
        QCOMPARE(f.desktop.messages.back().title, QString("Delete"));
        QCOMPARE(shownArtist(w), QString("Coltrane"));
        QCOMPARE(w.lblMsgBar1->text(), QString("Record Deleted"));
        QCOMPARE(w.lblMsgBar3->text(), QString("2 Artists "));
        f.desktop.answers = {Answer::Yes};
        click(w.CmdDelete);  // the last one: the one before it is shown
        QCOMPARE(shownArtist(w), QString("ABBA"));
        QCOMPARE(w.lblMsgBar3->text(), QString("1 Artist "));
        QCOMPARE(f.catalogue.column("SELECT Artist FROM Main"), QStringList{"ABBA"});

        f.desktop.answers = {Answer::No};
        click(w.CmdDelete);
        QCOMPARE(w.lblMsgBar1->text(), QString("Delete Canceled"));
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"1"});

        f.desktop.answers = {Answer::Yes, Answer::Ok};
        click(w.CmdDelete);  // the only one
        QCOMPARE(f.desktop.messages.back().text, QString("No Current Record"));
        QCOMPARE(f.desktop.messages.back().title, QString("ERROR"));
        QCOMPARE(f.desktop.beeps, 1);
        QCOMPARE(w.lblMsgBar1->text(), QString("No Records"));
        QCOMPARE(w.lblMsgBar3->text(), QString("0 Artists "));
        QCOMPARE(shownArtist(w), QString());
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"0"});

        f.desktop.answers = {Answer::Yes, Answer::Ok};
        click(w.CmdDelete);  // nothing left: the tally stays 0
        QCOMPARE(w.lblMsgBar3->text(), QString("0 Artists "));
    }

    void searchResultsAreMovedAndSavedWithoutABeep() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        // A search result of the two records from B on, as the search window leaves it.
        f.state.session.rsSearch.open(f.state.session.cnMain,
                                      {"Main", "Artist", "Artist >= ?", {"B"}});
        f.state.Modes.enterSearching();
        w.window().DisplayRecord();
        QCOMPARE(shownArtist(w), QString("Bob Dylan"));
        click(w.CmdNext);
        click(w.CmdNext);
        QCOMPARE(shownArtist(w), QString("Coltrane"));
        QCOMPARE(w.lblMsgBar1->text(), QString("Last Record"));
        const int beeps = f.desktop.beeps;
        w.txtTitle->setText("Blue Train");
        click(w.CmdUpdate);
        QCOMPARE(w.lblMsgBar1->text(), QString("Record Updated"));
        QCOMPARE(f.desktop.beeps, beeps);
        QCOMPARE(f.catalogue.column("SELECT Title FROM Main WHERE Artist = 'Coltrane'"),
                 QStringList{"Blue Train"});
    }

    void bookmarkReturnsOnceToTheSavedRecord() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        click(w.CmdLast);
        f.state.SavedBookmark = f.state.session.rsMain.bookmark();  // as a jump saves it
        f.state.BookmarkPending = true;
        w.CmdBookmark->setEnabled(true);
        click(w.CmdFirst);
        click(w.CmdBookmark);
        QCOMPARE(shownArtist(w), QString("Coltrane"));
        QVERIFY(!w.CmdBookmark->isEnabled());
        QVERIFY(!f.state.BookmarkPending);

        // A saved record that is gone leaves the current one shown, silently.
        f.catalogue.execute("DELETE FROM Main WHERE Artist = 'Coltrane'");
        f.state.session.rsMain.requery();  // as reopening the view would
        w.CmdBookmark->setEnabled(true);
        click(w.CmdBookmark);
        QCOMPARE(shownArtist(w), QString("ABBA"));
        QVERIFY(!w.CmdBookmark->isEnabled());
        QCOMPARE(f.desktop.messages.size(), std::size_t(0));
    }
};

QTEST_MAIN(TestNavigationEdit)
#include "tst_navigation_edit.moc"

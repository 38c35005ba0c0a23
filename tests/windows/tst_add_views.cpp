// Add mode, the artist offer, the views and the options, driven as a user would.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "support/MainWindowFixture.h"
#include "windows/lookup/LookupEditor.h"

using platform::Answer;
using platform::Icon;
using testing::click;
using testing::MainWindowFixture;
using testing::SaveChanges;
using testing::shown;
using testing::TestCatalogue;
using testing::threeRecords;

namespace {

// Types a whole entry the way a user does: field by field, Tab between them.
void typeEntry(testing::MainPage& w, const QString& artist, const QString& title,
               const QString& category, const QString& format) {
    QTest::keyClicks(w.CmbArtist, artist);
    w.txtTitle->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(w.txtTitle, title);
    w.CmbCategory->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(w.CmbCategory, category);
    w.cmbFormat->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(w.cmbFormat, format);
}

QList<QWidget*> leavingCommands(const testing::MainPage& w) {
    return {w.CmdDelete, w.CmdNext,   w.CmdPrev,   w.CmdSearch,  w.CmdFirst,
            w.CmdLast,   w.CmdUpdate, w.CmdBrowse, w.CmdBookmark};
}

QList<QAction*> menus(const testing::MainPage& w) {
    return {w.mnuFile->menuAction(),
            w.mnuLookupTables->menuAction(),
            w.mnuReport->menuAction(),
            w.mnuView->menuAction(),
            w.mnuCounts,
            w.mnuOptions->menuAction()};
}

}  // namespace

class TestAddViews : public QObject {
    Q_OBJECT

  private slots:
    void addModeLocksTheWayOutAndInsertsEntries() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        f.desktop.answers = {Answer::No, Answer::No};  // no artist offers taken
        click(w.CmdAdd);
        QVERIFY(f.state.Modes.adding());
        QCOMPARE(w.CmdAdd->text(), QString("&Insert"));
        QCOMPARE(w.lblMsgBar1->text(), QString("Add Mode - Esc key to cancel"));
        QCOMPARE(w.CmbArtist->currentText(), QString());
        QCOMPARE(QApplication::focusWidget(), w.CmbArtist);
        for (QWidget* command : leavingCommands(w)) {
            QVERIFY2(!command->isEnabled(), qPrintable(command->objectName()));
        }
        for (QAction* menu : menus(w)) {
            QVERIFY(!menu->isEnabled());
        }
        QVERIFY(w.mnuHelp->menuAction()->isEnabled() && w.cmdArtist->isEnabled());
        QTest::keyClick(w.CmbArtist, Qt::Key_T, Qt::ControlModifier);  // locked menus' keys too
        QTest::keyClick(w.CmbArtist, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(w.lblMsgBar2->text(), QString("View by Artist"));
        QCOMPARE(w.lblMsgBar1->text(), QString("Add Mode - Esc key to cancel"));
        QVERIFY(w.mnuOptionsBookmark->isChecked());

        typeEntry(w, QString(40, 'z'), "Long Names", "Contemporary Classical", "Cassette");
        QTest::keyClick(w.cmbFormat, Qt::Key_Return);  // Enter presses Insert
        QCOMPARE(w.lblMsgBar3->text(), QString("4 Artists "));
        QCOMPARE(w.CmbArtist->currentText(), QString());
        QCOMPARE(w.txtTitle->text(), QString());
        QCOMPARE(QApplication::focusWidget(), w.CmbArtist);
        QCOMPARE(w.CmdAdd->text(), QString("&Insert"));
        QCOMPARE(f.catalogue.column("SELECT Artist || '|' || Category || '|' || Format FROM Main "
                                    "WHERE Title = 'Long Names'"),
                 QStringList{QString(30, 'z') + "|Contemporary Cl|Casse"});

        typeEntry(w, "Guns N' Roses", "Appetite", "Rock", "LP");
        click(w.CmdAdd);
        QCOMPARE(w.lblMsgBar3->text(), QString("5 Artists "));
        QCOMPARE(f.catalogue.column("SELECT Title FROM Main WHERE Artist = 'Guns N'' Roses'"),
                 QStringList{"Appetite"});
        QVERIFY(!w.recordChanged());  // entries never raise the save question
    }

    void escapeReturnsToTheRecordShownBeforeAdd() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        w.mnuViewTitle->trigger();
        click(w.CmdNext);  // Title order: Arrival, Blonde on Blonde, Giant Steps
        QCOMPARE(w.CmbArtist->currentText(), QString("Bob Dylan"));
        click(w.CmdAdd);
        f.desktop.answers = {Answer::No};
        typeEntry(w, "Aardvark", "Aaa", "Pop", "CD");
        click(w.CmdAdd);
        QTest::keyClick(w.CmbArtist, Qt::Key_Escape);
        QVERIFY(!f.state.Modes.adding());
        QCOMPARE(w.lblMsgBar1->text(), QString("Add Mode Canceled"));
        QCOMPARE(w.CmdAdd->text(), QString("&Add"));
        QCOMPARE(w.window().defaultButton(), w.CmdAdd);
        QCOMPARE(QApplication::focusWidget(), w.CmdAdd);
        QCOMPARE(w.CmbArtist->currentText(), QString("Bob Dylan"));
        QCOMPARE(w.lblMsgBar2->text(), QString("View by Title"));
        QVERIFY(w.CmdNext->isEnabled() && w.mnuView->menuAction()->isEnabled());
        QVERIFY(!w.CmdBookmark->isEnabled());  // Esc does not offer the bookmark
        click(w.CmdFirst);                     // the new record has its place in the order
        QCOMPARE(w.txtTitle->text(), QString("Aaa"));
    }

    // The artist box's own list, opened by keyboard, is not leaving the box: the new name is
    // offered for the list only when the focus goes on to another field.
    void theArtistsListOpensWithoutTheOffer() {
        MainWindowFixture f(threeRecords());
        f.catalogue.execute("INSERT INTO Artist VALUES ('ABBA'), ('Bob Dylan')");
        auto& w = shown(f);
        click(w.CmdAdd);
        QTest::keyClicks(w.CmbArtist, "Zzq New");
        w.CmbArtist->showPopup();  // as Alt+Down does
        QTRY_VERIFY(w.CmbArtist->view()->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), w.CmbArtist->view());
        // On X11 the box hears the focus go to its list twice: as a popup, then once more.
        QFocusEvent toList(QEvent::FocusOut, Qt::OtherFocusReason);
        QApplication::sendEvent(w.CmbArtist, &toList);
        QVERIFY(f.desktop.messages.empty());
        QTest::keyClick(w.CmbArtist->view(), Qt::Key_Escape);
        QTRY_VERIFY(!w.CmbArtist->view()->isVisible());
        QVERIFY(f.state.Modes.adding());
        QCOMPARE(w.CmbArtist->currentText(), QString("Zzq New"));
        f.desktop.answers = {Answer::No};
        w.txtTitle->setFocus(Qt::TabFocusReason);
        QCOMPARE(f.desktop.messageTexts(),
                 QStringList{"Name not in Artist Database\r\nWould you like to add it?"});
    }

    void emptyEntryOffersRetryOrCancel() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        click(w.CmdNext);
        click(w.CmdAdd);
        QTest::keyClicks(w.CmbArtist, "X");
        f.desktop.answers = {Answer::Retry};
        click(w.CmdAdd);
        QCOMPARE(f.desktop.messages.back().text, QString("Artist and Title can not be empty."));
        QCOMPARE(f.desktop.messages.back().icon, Icon::Exclamation);
        QCOMPARE(QApplication::focusWidget(), w.txtTitle);
        QVERIFY(f.state.Modes.adding());
        f.desktop.answers = {Answer::Cancel};
        click(w.CmdAdd);
        QVERIFY(!f.state.Modes.adding());
        QCOMPARE(w.lblMsgBar1->text(), QString());
        QCOMPARE(w.CmbArtist->currentText(), QString("Bob Dylan"));
        QVERIFY(w.CmdBookmark->isEnabled());  // Cancel enables all nine
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"3"});
    }

    void failedInsertKeepsTheEntry() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        click(w.CmdAdd);
        f.desktop.answers = {Answer::No};  // ABBA is not in the artist list
        typeEntry(w, "ABBA", "Waterloo", "Pop", "LP");
        // Another program holds the file while the entry is inserted.
        testing::FileLock holder(f.catalogue.path());
        f.desktop.answers = {Answer::Ok};
        click(w.CmdAdd);
        holder.release();
        QVERIFY(f.desktop.messages.back().text.startsWith("The record could not be added."));
        QCOMPARE(w.lblMsgBar3->text(), QString("3 Artists "));
        QCOMPARE(w.txtTitle->text(), QString("Waterloo"));
        click(w.CmdAdd);  // and once the file is free, it goes in
        QCOMPARE(w.lblMsgBar3->text(), QString("4 Artists "));
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main WHERE Title = 'Waterloo'"),
                 QStringList{"1"});
    }

    // On an empty catalogue there is no record an edit could be saved into: Add takes what
    // was typed away and enters add mode, asking nothing.
    void addOnAnEmptyCatalogueAfterTyping() {
        MainWindowFixture f;
        auto& w = shown(f);
        QTest::keyClicks(w.txtTitle, "typed before Add");
        click(w.CmdAdd);
        QVERIFY(f.desktop.messages.empty());
        QVERIFY(f.state.Modes.adding() && w.txtTitle->text().isEmpty());
        QTest::keyClicks(w.CmbArtist, "Nina Simone");
        QTest::keyClicks(w.txtTitle, "Pastel Blues");
        f.desktop.answers = {Answer::No};  // the artist offer, as Insert takes the focus
        click(w.CmdAdd);
        QCOMPARE(f.catalogue.column("SELECT Artist || '|' || Title FROM Main"),
                 QStringList{"Nina Simone|Pastel Blues"});
    }

    void artistOfferOnLeavingTheArtistBox() {
        MainWindowFixture f(threeRecords());
        f.catalogue.execute("INSERT INTO Artist (Artist) VALUES ('ABBA')");
        auto& w = shown(f);
        const int listed = w.CmbArtist->count();

        w.CmbArtist->setEditText("Zz");  // outside add mode nothing is offered
        w.txtTitle->setFocus(Qt::TabFocusReason);
        QVERIFY(f.desktop.messages.empty());

        f.desktop.answers = {Answer::No};  // Add offers to save that edit first
        click(w.CmdAdd);
        QCOMPARE(f.desktop.messageTexts(), QStringList{SaveChanges});
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main WHERE Artist = 'Zz'"),
                 QStringList{"0"});
        f.desktop.messages.clear();
        QTest::keyClicks(w.CmbArtist, "abba");  // known, whatever the case
        w.txtTitle->setFocus(Qt::TabFocusReason);
        QVERIFY(f.desktop.messages.empty());

        w.CmbArtist->setFocus(Qt::TabFocusReason);
        w.CmbArtist->setEditText("Q");  // one letter is never offered
        w.txtTitle->setFocus(Qt::TabFocusReason);
        QVERIFY(f.desktop.messages.empty());

        w.CmbArtist->setFocus(Qt::TabFocusReason);
        w.CmbArtist->setEditText("O'Connor");
        f.desktop.answers = {Answer::No};
        w.txtTitle->setFocus(Qt::TabFocusReason);
        QCOMPARE(f.desktop.messages.size(), std::size_t(1));
        QCOMPARE(f.desktop.messages[0].text,
                 QString("Name not in Artist Database\r\nWould you like to add it?"));
        QCOMPARE(f.desktop.messages[0].icon, Icon::Question);
        QCOMPARE(w.CmbArtist->count(), listed);

        w.CmbArtist->setFocus(Qt::TabFocusReason);
        f.desktop.answers = {Answer::Yes};
        w.txtTitle->setFocus(Qt::TabFocusReason);
        QCOMPARE(w.CmbArtist->count(), listed + 1);
        QCOMPARE(w.window().frmArtist()->dropDown->count(), listed + 1);
        QCOMPARE(w.CmbArtist->currentText(), QString("O'Connor"));
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Artist WHERE Artist = 'O''Connor'"),
                 QStringList{"1"});

        w.CmbArtist->setFocus(Qt::TabFocusReason);  // now known: no second offer
        w.txtTitle->setFocus(Qt::TabFocusReason);
        QCOMPARE(f.desktop.messages.size(), std::size_t(2));
    }

    void failedArtistInsertIsSaidAndTheListStays() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        const int listed = w.CmbArtist->count();
        click(w.CmdAdd);
        QTest::keyClicks(w.CmbArtist, "Nina Simone");
        testing::FileLock holder(f.catalogue.path());
        f.desktop.answers = {Answer::Yes, Answer::Ok};
        w.txtTitle->setFocus(Qt::TabFocusReason);
        holder.release();
        QCOMPARE(f.desktop.messages.size(), std::size_t(2));
        QVERIFY(f.desktop.messages[1].text.startsWith(
            "The artist could not be added to the artist list."));
        QCOMPARE(w.CmbArtist->count(), listed);
        QVERIFY(f.state.Modes.adding());  // the program goes on
        QCOMPARE(w.CmbArtist->currentText(), QString("Nina Simone"));
    }

    void closingInAddModeDropsTheEntry() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        click(w.CmdAdd);
        f.desktop.answers = {Answer::No};
        typeEntry(w, "Nico", "Chelsea Girl", "Folk", "LP");
        w.window().close();
        QCOMPARE(f.desktop.ended, 1);
        QCOMPARE(f.desktop.messages.size(), std::size_t(1));  // only the artist offer
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"3"});
    }

    void pageKeysInAddModeStayOnTheEntry() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        click(w.CmdAdd);
        QTest::keyClick(w.CmbArtist, Qt::Key_PageDown);
        QCOMPARE(w.CmbArtist->currentText(), QString(" "));  // an empty box gets one blank
        w.CmbCategory->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(w.CmbCategory, "Pop");
        const int selected = w.CmbCategory->currentIndex();
        QTest::keyClick(w.CmbCategory, Qt::Key_PageUp);
        QCOMPARE(w.CmbCategory->currentText(), QString("Pop"));
        QCOMPARE(w.CmbCategory->currentIndex(), selected);
        QVERIFY(f.state.Modes.adding());
        QCOMPARE(w.lblMsgBar1->text(), QString("Add Mode - Esc key to cancel"));
        QTest::keyClick(w.CmbCategory, Qt::Key_Escape);
        QCOMPARE(w.CmbArtist->currentText(), QString("ABBA"));  // nothing moved meanwhile
        QVERIFY(f.desktop.messages.empty());
    }

    void escapeOutsideAddModeAndRunsDoesNothing() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        w.CmdAdd->setFocus();
        QTest::keyClick(w.CmdAdd, Qt::Key_Escape);
        QCOMPARE(w.lblMsgBar1->text(), QString("Ready"));
        QCOMPARE(w.CmbArtist->currentText(), QString("ABBA"));
        QVERIFY(f.desktop.messages.empty());
    }

    void autoAddArtistAddsSilently() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        QTest::keyClick(&w.window(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(w.lblMsgBar1->text(), QString("Auto Add Artist is On"));
        click(w.CmdAdd);
        QTest::keyClicks(w.CmbArtist, "Guns N' Roses");
        w.txtTitle->setFocus(Qt::TabFocusReason);
        QVERIFY(f.desktop.messages.empty());
        QCOMPARE(f.catalogue.column("SELECT Artist FROM Artist WHERE Artist LIKE 'Guns%'"),
                 QStringList{"Guns N' Roses"});
    }

    void emptyArtistTableKnowsNobody() {
        MainWindowFixture f(threeRecords());
        f.catalogue.execute("DELETE FROM Artist");
        auto& w = shown(f);
        click(w.CmdAdd);
        QTest::keyClicks(w.CmbArtist, "Nina Simone");
        f.desktop.answers = {Answer::Yes};
        w.txtTitle->setFocus(Qt::TabFocusReason);
        QCOMPARE(f.catalogue.column("SELECT Artist FROM Artist"), QStringList{"Nina Simone"});
    }

    void viewsReorderAndMoveTheCheckMark() {
        MainWindowFixture f({{"Bowie", "Low", "Rock", "LP"},
                             {"ABBA", "Arrival", "Pop", "LP"},
                             {"Bowie", "Heroes", "Rock", "CD"},
                             {"Cale", "Paris 1919", "Art", "LP"}});
        auto& w = shown(f);
        w.txtTitle->setText("edited");  // a view change offers to save it first
        f.desktop.answers = {Answer::No};
        QTest::keyClick(&w.window(), Qt::Key_S, Qt::ControlModifier);  // By Format
        QCOMPARE(f.desktop.messageTexts(), QStringList{SaveChanges});
        f.desktop.messages.clear();
        QCOMPARE(w.txtTitle->text(), QString("Heroes"));
        QVERIFY(w.mnuViewFormat->isChecked());
        QVERIFY(!w.mnuViewArtist->isChecked() && !w.mnuViewTitle->isChecked() &&
                !w.mnuViewCategory->isChecked());
        QCOMPARE(w.lblMsgBar2->text(), QString("View by Format"));
        QVERIFY(f.desktop.messages.empty());
        QCOMPARE(f.catalogue.column("SELECT Title FROM Main WHERE Title = 'edited'").size(), 0);
        click(w.CmdNext);  // LP: ABBA, Bowie, Cale
        QCOMPARE(w.CmbArtist->currentText(), QString("ABBA"));

        QTest::keyClick(&w.window(), Qt::Key_Y, Qt::ControlModifier);  // By Category: then by title
        QCOMPARE(w.txtTitle->text(), QString("Paris 1919"));
        click(w.CmdNext);
        QCOMPARE(w.txtTitle->text(), QString("Arrival"));
        click(w.CmdNext);
        QCOMPARE(w.txtTitle->text(), QString("Heroes"));
        QCOMPARE(w.lblMsgBar2->text(), QString("View by Category"));

        w.mnuViewTitle->trigger();
        QCOMPARE(w.txtTitle->text(), QString("Arrival"));
        QCOMPARE(w.lblMsgBar2->text(), QString("View by Title"));
        w.mnuViewArtist->trigger();
        QCOMPARE(w.txtTitle->text(), QString("Arrival"));
        QVERIFY(w.mnuViewArtist->isChecked() && !w.mnuViewTitle->isChecked());
    }

    // A file another program holds is waited for, the bar saying so; Esc gives up the wait and
    // leaves the view as it was.
    void aViewChangeGivenUpWhileHeldStaysInThePreviousView() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        click(w.CmdNext);
        testing::FileLock holder(f.catalogue.path());
        int turns = 0;
        f.desktop.onEvents = [&] {
            if (w.ProgressBar1->isVisible() || ++turns > 500) {  // ten seconds at most
                QTest::keyClick(&w.window(), Qt::Key_Escape);
            }
        };
        w.mnuViewTitle->trigger();
        f.desktop.onEvents = {};
        holder.release();
        QCOMPARE(f.desktop.messageTexts(), QStringList());
        QCOMPARE(w.lblMsgBar1->text(), QString("Stopped while another program held the catalogue "
                                               "file: the records were not read again."));
        QVERIFY(w.mnuViewArtist->isChecked() && !w.mnuViewTitle->isChecked());
        QCOMPARE(w.lblMsgBar2->text(), QString("View by Artist"));
        QVERIFY(!f.desktop.busy && !w.ProgressBar1->isVisible());
        click(w.CmdNext);  // still moving through the Artist view
        QCOMPARE(w.CmbArtist->currentText(), QString("Coltrane"));
    }

    void optionsToggleAndAreStoredOnClose() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        w.mnuOptionsAddArtist->trigger();
        QCOMPARE(w.lblMsgBar1->text(), QString("Auto Add Artist is On"));
        QVERIFY(f.state.autoAddArtistOn());
        w.mnuOptionsAddArtist->trigger();
        QCOMPARE(w.lblMsgBar1->text(), QString("Auto Add Artist is Off"));
        QVERIFY(!w.mnuOptionsAddArtist->isChecked() && !f.state.autoAddArtistOn());

        w.CmdBookmark->setEnabled(true);  // as after a jump
        f.state.BookmarkPending = true;
        QTest::keyClick(&w.window(), Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(w.lblMsgBar1->text(), QString("Bookmark is Off"));
        QVERIFY(!w.CmdBookmark->isEnabled());
        QVERIFY(f.state.BookmarkPending);  // kept for later
        w.mnuOptionsBookmark->trigger();
        QCOMPARE(w.lblMsgBar1->text(), QString("Bookmark is On"));
        QVERIFY(!w.CmdBookmark->isEnabled());  // not until the next jump

        w.mnuOptionsAddArtist->trigger();
        w.window().close();
        QCOMPARE(f.catalogue.column("SELECT optValue FROM Options ORDER BY option"),
                 (QStringList{"-1", "-1", "-1"}));
    }

    void menuShortcutsWinOverTheTextFields() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        w.txtTitle->setFocus();
        QTest::keyClick(w.txtTitle, Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(w.lblMsgBar2->text(), QString("View by Title"));
        w.CmbArtist->setFocus();
        QTest::keyClick(w.CmbArtist, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(w.lblMsgBar2->text(), QString("View by Artist"));
    }
};

QTEST_MAIN(TestAddViews)
#include "tst_add_views.moc"

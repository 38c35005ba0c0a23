// Edit > Undo and Redo in the main window, by their keys: the file as it was, the record
// concerned shown, the menu naming the change; the field's own Ctrl+Z while an edit is typed.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "support/MainWindowFixture.h"
#include "support/Modal.h"
#include "windows/lookup/LookupEditor.h"
#include "windows/transfer/FrmImport.h"

using platform::Answer;
using testing::click;
using testing::MainWindowFixture;
using testing::shown;

namespace {

void press(QWidget* to, bool redo) {
    QTest::keyClick(to, Qt::Key_Z,
                    redo ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
}

}  // namespace

class TestUndo : public QObject {
    Q_OBJECT

  private slots:
    // A repair or a delete-all forgets every step: their first question says so when there
    // is one, and No keeps them.
    void runsThatForgetTheStepsSaySoFirst_data() {
        QTest::addColumn<bool>("deleteAll");
        QTest::newRow("repair") << false;
        QTest::newRow("delete all") << true;
    }
    void runsThatForgetTheStepsSaySoFirst() {
        QFETCH(bool, deleteAll);
        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        QAction* run = deleteAll ? w.mnuFileDeleteAll : w.mnuRepairDatabase;
        const QString warning =
            "This cannot be undone, and the changes made before can no "
            "longer be taken back.\r\n\r\nDo you really want to ";
        f.desktop.answers = {Answer::No};
        run->trigger();
        QVERIFY(!f.desktop.messages.back().text.contains(warning));
        f.desktop.answers = {Answer::Yes, Answer::No};
        click(w.CmdDelete);
        run->trigger();
        QVERIFY2(f.desktop.messages.back().text.contains(warning),
                 qPrintable(f.desktop.messages.back().text));
        QCOMPARE(w.mnuEditUndo->text(), QString("&Undo Delete Record"));
        press(w.CmdAdd, false);
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"3"});
        f.desktop.answers = {Answer::No};  // a step to make again is lost as well
        run->trigger();
        QVERIFY2(f.desktop.messages.back().text.contains(
                     "This cannot be undone, and the changes taken back can no longer be made "
                     "again.\r\n\r\nDo you really want to "),
                 qPrintable(f.desktop.messages.back().text));
    }

    // Another program writing a table the program derives (an order, the word index's note)
    // makes the orders again, but moves no row id: the steps stay, and Undo takes back.
    void anotherProgramsEditOfADerivedTableKeepsTheSteps() {
        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        const QStringList before = testing::exactRowsWithIds(f.catalogue);
        f.desktop.answers = {Answer::Yes};
        click(w.CmdDelete);
        for (const char* sql : {"INSERT INTO WordsToIndex (FromId) VALUES (1)",
                                "DELETE FROM WordsToIndex", "UPDATE TitleOrder SET Id = Id"}) {
            QCOMPARE(testing::stockTool(f.catalogue.path(), sql), QString());
        }
        press(w.CmdAdd, false);
        QCOMPARE(testing::exactRowsWithIds(f.catalogue), before);
        QCOMPARE(w.lblMsgBar1->text(), QString("Undo: Record Deleted"));
        QVERIFY(f.desktop.messages.size() == 1);  // the delete's question only
    }

    void changesAreTakenBackAndMadeAgainByKeys() {
        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        const QStringList before = testing::exactRowsWithIds(f.catalogue);
        f.desktop.answers = {Answer::Yes};
        click(w.CmdDelete);  // ABBA, the first in the artist view
        const QStringList deleted = testing::exactRowsWithIds(f.catalogue);
        QCOMPARE(deleted.size(), 2);
        QCOMPARE(w.mnuEditUndo->text(), QString("&Undo Delete Record"));
        QVERIFY(!w.mnuEditRedo->isEnabled());
        press(w.CmdAdd, false);
        QCOMPARE(testing::exactRowsWithIds(f.catalogue), before);  // back with its own row id
        QCOMPARE(w.lblMsgBar1->text(), QString("Undo: Record Deleted"));
        QCOMPARE(w.CmbArtist->currentText(), QString("ABBA"));
        QCOMPARE(w.mnuEditRedo->text(), QString("&Redo Delete Record"));
        press(w.CmdAdd, true);
        QCOMPARE(testing::exactRowsWithIds(f.catalogue), deleted);
        QCOMPARE(w.lblMsgBar1->text(), QString("Redo: Record Deleted"));
        press(w.CmdAdd, false);
        QCOMPARE(testing::exactRowsWithIds(f.catalogue), before);

        // An edit typed and not saved: Ctrl+Z is the title box's own, the file untouched.
        w.txtTitle->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(w.txtTitle, Qt::Key_End);
        QTest::keyClicks(w.txtTitle, "!");
        QCOMPARE(w.txtTitle->text(), QString("Arrival!"));
        press(w.txtTitle, false);
        QCOMPARE(w.txtTitle->text(), QString("Arrival"));
        QCOMPARE(testing::exactRowsWithIds(f.catalogue), before);
        QCOMPARE(w.mnuEditRedo->text(), QString("&Redo Delete Record"));
        // The typing taken back, nothing is pending: the keys are the catalogue's again, and
        // the record deleted again leaves its neighbour shown, as a delete does.
        const std::size_t said = f.desktop.messages.size();
        press(w.txtTitle, true);
        QCOMPARE(testing::exactRowsWithIds(f.catalogue), deleted);
        QCOMPARE(w.CmbArtist->currentText(), QString("Bob Dylan"));
        QCOMPARE(f.desktop.messages.size(), said);  // nothing asked to be saved
        press(w.txtTitle, false);
        QCOMPARE(w.txtTitle->text(), QString("Arrival"));

        // Typed and left for a button: Undo names the typing and takes it back, asking nothing;
        // Redo waits until the edit is saved or dropped.
        QTest::keyClicks(w.txtTitle, "?");
        w.CmdAdd->setFocus();
        QCOMPARE(w.mnuEditUndo->text(), QString("&Undo Typing"));
        QVERIFY(w.mnuEditUndo->isEnabled() && !w.mnuEditRedo->isEnabled());
        press(w.CmdAdd, false);
        QCOMPARE(w.txtTitle->text(), QString("Arrival"));
        QCOMPARE(w.lblMsgBar1->text(), QString("Undo: Typing"));
        QCOMPARE(f.desktop.messages.size(), said);
        QCOMPARE(testing::exactRowsWithIds(f.catalogue), before);
        QCOMPARE(w.mnuEditRedo->text(), QString("&Redo Delete Record"));
        QVERIFY(!w.recordChanged());
        w.txtTitle->setFocus();

        // A saved update is a step of its own, and a new change leaves nothing to redo.
        QTest::keyClicks(w.txtTitle, " (1976)");
        click(w.CmdUpdate);
        QCOMPARE(w.mnuEditUndo->text(), QString("&Undo Update Record"));
        QVERIFY(!w.mnuEditRedo->isEnabled());
        press(w.CmdAdd, false);
        QCOMPARE(testing::exactRowsWithIds(f.catalogue), before);
        QCOMPARE(w.txtTitle->text(), QString("Arrival"));

        // Another program changed the record since: said, nothing written.
        press(w.CmdAdd, true);
        QCOMPARE(testing::stockTool(f.catalogue.path(),
                                    "UPDATE Main SET Title = 'Waterloo' WHERE Artist = 'ABBA'"),
                 QString());
        const QStringList theirs = testing::exactRowsWithIds(f.catalogue);
        f.desktop.answers = {Answer::Ok};
        press(w.CmdAdd, false);
        QCOMPARE(testing::exactRowsWithIds(f.catalogue), theirs);
        QVERIFY(f.desktop.messages.back().text.startsWith(
            "The record was changed by another program since"));
    }

    // In add mode Undo and Redo are off and Ctrl+Z is the field's own; out of it, they name
    // their steps again.
    void addModeLeavesUndoToTheFields() {
        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        f.desktop.answers = {Answer::Yes};
        click(w.CmdDelete);
        click(w.CmdAdd);
        QVERIFY(!w.mnuEditUndo->isEnabled() && !w.mnuEditRedo->isEnabled());
        QTest::keyClicks(w.CmbArtist, "Nico");
        press(w.CmbArtist, false);
        QCOMPARE(w.CmbArtist->currentText(), QString());
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"2"});
        QTest::keyClick(w.CmbArtist, Qt::Key_Escape);
        QVERIFY(!f.state.Modes.adding() && w.mnuEditUndo->isEnabled());
        QCOMPARE(w.mnuEditUndo->text(), QString("&Undo Delete Record"));
    }

    // An import is one step; more than a thousand records are taken back only when the user
    // says so.
    void anImportIsTakenBackInOneStep() {
        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        const QStringList before = testing::exactRowsWithIds(f.catalogue);
        const QString path = f.catalogue.directory() + "/many.csv";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Artist,Title\n");
        for (int i = 0; i < 1001; ++i) {
            file.write("Artist " + QByteArray::number(i) + ",Title\n");
        }
        file.close();
        f.desktop.openFileAnswers = {path};
        f.desktop.answers = {Answer::No};  // the artist list offer
        testing::whileModal<windows::FrmImport>(
            [&] { w.mnuFileImport->trigger(); },
            [](windows::FrmImport& preview) { click(preview.CmdImport); });
        QCOMPARE(testing::exactRowsWithIds(f.catalogue).size(), 1004);
        QCOMPARE(w.mnuEditUndo->text(), QString("&Undo Import of 1,001 Records"));
        w.window().activateWindow();  // back from the preview
        QVERIFY(QTest::qWaitForWindowActive(&w.window()));
        f.desktop.answers = {Answer::No};
        press(w.CmdAdd, false);
        QCOMPARE(testing::exactRowsWithIds(f.catalogue).size(), 1004);
        QVERIFY(
            f.desktop.messages.back().text.startsWith("Take back the import of 1,001 records?"));
        f.desktop.answers = {Answer::Yes};
        bool heldAndBusy = false;  // written beside the windows, which are held meanwhile
        f.desktop.onBusyPointer = [&](bool on) {
            heldAndBusy = heldAndBusy || (on && !w.window().centralWidget()->isEnabled());
        };
        press(w.CmdAdd, false);
        QVERIFY(heldAndBusy && !f.desktop.busy && w.window().centralWidget()->isEnabled());
        QCOMPARE(testing::exactRowsWithIds(f.catalogue), before);
        QCOMPARE(w.lblMsgBar1->text(), QString("Undo: 1,001 Records Imported"));
        QCOMPARE(w.lblMsgBar3->text(), QString("3 Artists "));
    }

    // A name added in a list editor is a step, taken back from the main window's menu.
    void aNameAddedInAListEditorIsAStep() {
        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        const auto categories = [&] {
            return f.catalogue.column("SELECT Category FROM Category ORDER BY rowid");
        };
        const QStringList before = categories();
        testing::whileModal<windows::LookupEditor>([&] { w.mnuCategoryTable->trigger(); },
                                                   [&](windows::LookupEditor& editor) {
                                                       click(editor.CmdAdd);
                                                       QTest::keyClicks(editor.dropDown, "Dub");
                                                       QTest::keyClick(editor.dropDown,
                                                                       Qt::Key_Return);
                                                       click(editor.CmdReturn);
                                                   });
        QCOMPARE(categories(), before + QStringList{"Dub"});
        QCOMPARE(w.mnuEditUndo->text(), QString("&Undo Add to Category List"));
        w.mnuEditUndo->trigger();
        QCOMPARE(categories(), before);
        QVERIFY(!testing::items(w.CmbCategory).contains("Dub"));
        QCOMPARE(w.lblMsgBar1->text(), QString("Undo: Name Added to the Category List"));
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"

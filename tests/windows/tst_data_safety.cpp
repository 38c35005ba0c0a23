// Nothing the user did not change is ever written: a record that cannot be read is not
// shown as empty text that a save would write back, a save leaves untouched fields byte
// for byte, and a lock held by another program loses nothing.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "support/MainWindowFixture.h"

using platform::Answer;
using testing::click;
using testing::FileLock;
using testing::MainWindowFixture;
using testing::shown;
using testing::threeRecords;

namespace {

QStringList fields(const testing::MainPage& w) {
    return {w.CmbArtist->currentText(), w.txtTitle->text(), w.CmbCategory->currentText(),
            w.cmbFormat->currentText()};
}

// Each column of one row as its storage type and bytes, so nothing hides in a conversion.
QStringList stored(testing::TestCatalogue& file, const QString& where) {
    return file.column(("SELECT typeof(Artist) || ':' || coalesce(hex(Artist), '') || ' ' || "
                        "typeof(Title) || ':' || coalesce(hex(Title), '') || ' ' || "
                        "typeof(Category) || ':' || coalesce(hex(Category), '') || ' ' || "
                        "typeof(Format) || ':' || coalesce(hex(Format), '') FROM Main WHERE " +
                        where)
                           .toStdString());
}

QStringList allRows(testing::TestCatalogue& file) {
    return stored(file, "1 ORDER BY rowid");
}

QString hex(const QString& text) {
    return QString::fromLatin1(text.toUtf8().toHex().toUpper());
}

// Types any text, one key per character, as a keyboard or an input method sends it.
void typeText(QWidget* field, const QString& text) {
    for (const char32_t c : text.toStdU32String()) {
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString::fromUcs4(&c, 1),
                            Qt::NoModifier);
    }
}

void appendTo(QWidget* field, const QString& text) {
    field->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(field, Qt::Key_End);
    QTest::keyClicks(field, text);
}

}  // namespace

class TestDataSafety : public QObject {
    Q_OBJECT

  private slots:
    void aLockedFileNeverBlanksARecordThatIsSavedLater() {
        MainWindowFixture f(threeRecords());
        const QStringList before = allRows(f.catalogue);
        auto& w = shown(f);
        FileLock holder(f.catalogue.path());
        f.desktop.answers = {Answer::Ok};
        QElapsedTimer waited;
        waited.start();
        click(w.CmdNext);
        // One wait for the lock (1.5 s), not one per field.
        QVERIFY2(waited.elapsed() < 4500, qPrintable(QString::number(waited.elapsed())));
        QCOMPARE(f.desktop.messages.size(), std::size_t(1));
        QVERIFY(f.desktop.messages[0].text.contains("locked by another program"));
        QVERIFY(
            f.desktop.messages[0].text.endsWith("in procedure DisplayRecord of Form 'FrmMain'"));
        QCOMPARE(fields(w), (QStringList{"", "", "", ""}));
        QVERIFY(w.recordUnread());
        QVERIFY(f.desktop.busy);  // the hourglass while it waited, until the command is over
        QTRY_VERIFY(!f.desktop.busy);

        // Empty fields of a record that could not be read take no typing and save nothing.
        appendTo(w.txtTitle, "Blonde");
        QCOMPARE(w.txtTitle->text(), QString());
        QVERIFY(!w.recordChanged());
        holder.release();
        click(w.CmdUpdate);  // reads the record again
        QCOMPARE(fields(w), (QStringList{"Bob Dylan", "Blonde on Blonde", "Rock", "LP"}));
        QVERIFY(!w.recordUnread());
        appendTo(w.txtTitle, " (mono)");
        QCOMPARE(w.txtTitle->text(), QString("Blonde on Blonde (mono)"));
        QCOMPARE(f.desktop.messages.size(), std::size_t(1));
        QCOMPARE(allRows(f.catalogue), before);
    }

    void aSaveRefusedByALockKeepsTheEditAndTheRecord() {
        MainWindowFixture f(threeRecords());
        const QStringList before = allRows(f.catalogue);
        auto& w = shown(f);
        appendTo(w.txtTitle, " (live)");
        FileLock holder(f.catalogue.path());
        f.desktop.answers = {Answer::Yes, Answer::Ok};
        click(w.CmdNext);  // save first? Yes - but it cannot be saved now
        QCOMPARE(f.desktop.messages.size(), std::size_t(2));
        QVERIFY(f.desktop.messages[1].text.startsWith("The record could not be saved."));
        QCOMPARE(fields(w), (QStringList{"ABBA", "Arrival (live)", "Pop", "CD"}));  // no move
        QVERIFY(w.recordChanged());
        holder.release();
        QCOMPARE(allRows(f.catalogue), before);
        f.desktop.answers = {Answer::Yes};
        click(w.CmdNext);  // now it is saved, and the move goes on
        QCOMPARE(w.CmbArtist->currentText(), QString("Bob Dylan"));
        QCOMPARE(f.catalogue.column("SELECT Title FROM Main WHERE Artist = 'ABBA'"),
                 QStringList{"Arrival (live)"});
    }

    void aDeleteRefusedByALockLeavesTheRecord() {
        MainWindowFixture f(threeRecords());
        auto& w = shown(f);
        click(w.CmdNext);
        FileLock holder(f.catalogue.path());
        f.desktop.answers = {Answer::Yes, Answer::Ok};
        click(w.CmdDelete);
        holder.release();
        QVERIFY(f.desktop.messages[1].text.startsWith("The record could not be deleted."));
        QCOMPARE(w.CmbArtist->currentText(), QString("Bob Dylan"));
        QCOMPARE(w.lblMsgBar3->text(), QString("3 Artists "));
        QCOMPARE(f.state.session.rsMain.recordCount(), 3);
        click(w.CmdNext);  // the row is still in the order, and still the current one
        QCOMPARE(w.CmbArtist->currentText(), QString("Coltrane"));
        click(w.CmdPrev);
        QCOMPARE(w.CmbArtist->currentText(), QString("Bob Dylan"));
        f.desktop.answers = {Answer::Yes};
        click(w.CmdDelete);  // and goes once the file is free
        QCOMPARE(w.CmbArtist->currentText(), QString("Coltrane"));
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"2"});
    }

    // Another tool compacts the file while a record is shown, renumbering the rows after a
    // gap: the save is not written to the record that now has the shown one's row id. The
    // record is found again and the edit kept, to be saved to it; a delete likewise.
    void aCompactionByAnotherToolNeverTurnsAnEditOntoAnotherRecord() {
        MainWindowFixture f(testing::numberedRecords(30));
        auto& w = shown(f);
        click(w.CmdLast);
        QCOMPARE(w.CmbArtist->currentText(), QString("Artist 0029"));
        QCOMPARE(
            testing::stockTool(f.catalogue.path(), "DELETE FROM Main WHERE rowid = 2; VACUUM;"),
            QString());
        appendTo(w.txtTitle, " (live)");
        f.desktop.answers = {Answer::Ok};
        click(w.CmdUpdate);
        QCOMPARE(f.desktop.messageTexts(),
                 QStringList{"The record could not be saved.\r\nAnother program changed or moved "
                             "this record in the catalogue file after it was read. The catalogue "
                             "has been read again.\r\nYour changes are still on the screen: press "
                             "Update to save them."});
        QCOMPARE(fields(w), (QStringList{"Artist 0029", "Title 29 (live)", "Rock", "CD"}));
        QCOMPARE(w.lblMsgBar3->text(), QString("29 Artists "));
        const auto untouched = "Title = 'Title ' || CAST(substr(Artist, 8) AS INTEGER)";
        QCOMPARE(f.catalogue.column(std::string("SELECT count(*) FROM Main WHERE ") + untouched),
                 QStringList{"29"});
        click(w.CmdUpdate);
        QCOMPARE(w.lblMsgBar1->text(), QString("Record Updated"));
        QCOMPARE(f.catalogue.column(
                     std::string("SELECT Artist || '/' || Title FROM Main WHERE NOT ") + untouched),
                 QStringList{"Artist 0029/Title 29 (live)"});
        // Compacted again after the save: the next save finds the record as it was written.
        testing::stockTool(f.catalogue.path(), "DELETE FROM Main WHERE rowid = 3; VACUUM;");
        appendTo(w.txtTitle, "!");
        f.desktop.answers = {Answer::Ok};
        click(w.CmdUpdate);
        click(w.CmdUpdate);
        QCOMPARE(f.catalogue.column(
                     std::string("SELECT Artist || '/' || Title FROM Main WHERE NOT ") + untouched),
                 QStringList{"Artist 0029/Title 29 (live)!"});

        click(w.CmdPrev);
        QCOMPARE(w.CmbArtist->currentText(), QString("Artist 0028"));
        testing::stockTool(f.catalogue.path(), "DELETE FROM Main WHERE rowid = 1; VACUUM;");
        f.desktop.answers = {Answer::Yes, Answer::Ok, Answer::Yes};
        click(w.CmdDelete);
        QVERIFY(f.desktop.messages.back().text.endsWith("delete it again if it is still to go."));
        QCOMPARE(w.CmbArtist->currentText(), QString("Artist 0028"));
        click(w.CmdDelete);
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main WHERE Artist = 'Artist 0028'"),
                 QStringList{"0"});
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Main"), QStringList{"26"});
        QCOMPARE(w.lblMsgBar3->text(), QString("26 Artists "));
    }

    void aSaveLeavesUntouchedFieldsByteForByte() {
        MainWindowFixture f;
        // Rows as other tools write them: over-long, Null, invalid UTF-8, a number, a NUL.
        f.catalogue.execute(
            "INSERT INTO Main (Artist, Title, Category, Format) VALUES (CAST(X'41FF42' AS TEXT), "
            "?, NULL, 42), "
            "(?, CAST(X'610062' AS TEXT), 'rock', 'cd')",
            {std::string(42, 't'), QString::fromUtf8("\xE6\x9D\xB1\xE4\xBA\xAC").toStdString()});
        const QStringList before = allRows(f.catalogue);
        auto& w = shown(f);
        w.mnuViewCategory->trigger();  // the Null category first: the rows as they were written
        QCOMPARE(w.txtTitle->text(), QString(30, 't'));  // the box shows 30 of them

        // The first record: only the format is changed.
        w.cmbFormat->setFocus(Qt::MouseFocusReason);
        w.cmbFormat->lineEdit()->selectAll();
        QTest::keyClicks(w.cmbFormat, "LP");
        // The category is typed into and emptied again: still no change.
        appendTo(w.CmbCategory, "x");
        QTest::keyClick(w.CmbCategory, Qt::Key_Backspace);
        click(w.CmdUpdate);
        QCOMPARE(stored(f.catalogue, "rowid = 1"),
                 QStringList{before[0].section(' ', 0, 2) + " text:" + hex("LP")});

        // The second: the title (with a NUL inside) gets a letter more, nothing else moves.
        click(w.CmdNext);
        QCOMPARE(w.txtTitle->text(), QString::fromUtf8("a\0b", 3));
        appendTo(w.txtTitle, "X");
        click(w.CmdUpdate);
        QCOMPARE(stored(f.catalogue, "rowid = 2"),
                 QStringList{before[1].section(' ', 0, 0) + " text:61006258 " +
                             before[1].section(' ', 2, 3)});
        QVERIFY(f.desktop.messages.empty());
    }

    void cutsNeverSplitACharacter() {
        MainWindowFixture f({{"ABBA", "Arrival", "Pop", "CD"}});
        auto& w = shown(f);
        const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
        // Category keeps 15 characters: the emoji is the fifteenth, whole.
        w.CmbCategory->setFocus(Qt::MouseFocusReason);
        w.CmbCategory->lineEdit()->selectAll();
        typeText(w.CmbCategory, QString(14, 'c') + smile + "z");
        // The title box holds 30: an emoji typed as the thirtieth fits, a letter after it not.
        w.txtTitle->setFocus(Qt::MouseFocusReason);
        w.txtTitle->selectAll();
        QTest::keyClicks(w.txtTitle, QString(29, 't'));
        typeText(w.txtTitle, smile);
        QTest::keyClicks(w.txtTitle, "u");
        QCOMPARE(w.txtTitle->text(), QString(29, 't') + smile);
        QTest::keyClick(w.txtTitle, Qt::Key_Home);
        QTest::keyClicks(w.txtTitle, "v");  // a full box takes nothing more, anywhere
        QCOMPARE(w.txtTitle->text(), QString(29, 't') + smile);
        click(w.CmdUpdate);
        QCOMPARE(f.catalogue.column("SELECT hex(Title) || ' ' || hex(Category) FROM Main"),
                 QStringList{hex(QString(29, 't') + smile) + " " + hex(QString(14, 'c') + smile)});

        // A text pasted into an empty title keeps its first 30 characters.
        w.txtTitle->selectAll();
        QTest::keyClick(w.txtTitle, Qt::Key_Delete);
        w.txtTitle->insert(QString(28, 'p') + smile + smile + "q");
        QCOMPARE(w.txtTitle->text(), QString(28, 'p') + smile + smile);
    }
};

QTEST_MAIN(TestDataSafety)
#include "tst_data_safety.moc"

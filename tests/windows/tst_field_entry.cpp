// What the four fields store: walking through them by keyboard and mouse is not an edit,
// typed text is kept exactly as typed, and leaving add mode never touches the artist list.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "support/MainWindowFixture.h"

using platform::Answer;
using testing::click;
using testing::MainWindowFixture;
using testing::shown;
using testing::TestCatalogue;

namespace {

// A key pressed where the focus is, as on a keyboard.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

void type(const QString& text) {
    QTest::keyClicks(QApplication::focusWidget(), text);
}

QString focusName() {
    const QWidget* focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString("(none)");
}

QStringList fields(const testing::MainPage& w) {
    return {w.CmbArtist->currentText(), w.txtTitle->text(), w.CmbCategory->currentText(),
            w.cmbFormat->currentText()};
}

const char* const AllRows =
    "SELECT Artist || '|' || Title || '|' || Category || '|' || Format "
    "FROM Main ORDER BY rowid";

// Stored texts that differ from the lists' items only in letter case, and texts that
// equal an item exactly.
std::vector<TestCatalogue::Row> mixedCaseRecords() {
    return {{"abba", "Arrival", "rock", "cd"}, {"Bob Dylan", "Desire", "Rock", "LP"}};
}

}  // namespace

class TestFieldEntry : public QObject {
    Q_OBJECT

  private slots:
    void walkingThroughTheFieldsIsNotAnEdit() {
        MainWindowFixture f(mixedCaseRecords());
        f.catalogue.execute("INSERT INTO Artist (Artist) VALUES ('ABBA'), ('Bob Dylan')");
        const QStringList stored = f.catalogue.column(AllRows);
        auto& w = shown(f);

        for (int record = 0; record < 2; ++record) {
            const QStringList before = fields(w);
            w.CmbArtist->setFocus(Qt::MouseFocusReason);
            const QStringList forward = {"cmdArtist",   "txtTitle",  "CmbCategory",
                                         "cmdCategory", "cmbFormat", "cmdFormat"};
            for (const QString& next : forward) {
                press(Qt::Key_Tab);
                QCOMPARE(focusName(), next);
            }
            for (int i = 0; i < forward.size(); ++i) {
                press(Qt::Key_Tab, Qt::ShiftModifier);
            }
            QCOMPARE(focusName(), QString("CmbArtist"));
            for (QComboBox* box : {w.CmbCategory, w.cmbFormat, w.CmbArtist}) {
                QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
                QCOMPARE(QApplication::focusWidget(), box);
            }
            QTest::mouseClick(w.txtTitle, Qt::LeftButton);
            QCOMPARE(fields(w), before);
            QVERIFY(!w.recordChanged());
            QCOMPARE(w.window().defaultButton(), w.CmdAdd);
            click(record == 0 ? w.CmdNext : w.CmdPrev);  // no question: nothing was edited
        }
        QVERIFY(f.desktop.messages.empty());
        QCOMPARE(f.catalogue.column(AllRows), stored);
    }

    // In add mode the commands that would leave the entry are off: their Alt keys type nothing.
    void altKeysOfCommandsThatAreOffTypeNothing() {
        MainWindowFixture f(mixedCaseRecords());
        auto& w = shown(f);
        click(w.CmdAdd);
        QCOMPARE(focusName(), QString("CmbArtist"));
        for (const Qt::Key key : {Qt::Key_S, Qt::Key_B, Qt::Key_N}) {
            press(key, Qt::AltModifier);
        }
        press(Qt::Key_X);
        QCOMPARE(w.CmbArtist->currentText(), QString("x"));
    }

    void pageKeysOntoAnEmptyFieldAreNotAnEdit() {
        MainWindowFixture f({{"ABBA", "Arrival", "Pop", "CD"},
                             {"Bob Dylan", "Desire", nullptr, ""},
                             {"Coltrane", "Giant Steps", "Jazz", "LP"}});
        const QStringList stored = f.catalogue.column(AllRows);
        auto& w = shown(f);
        for (QComboBox* box : {w.CmbCategory, w.cmbFormat}) {
            box->setFocus(Qt::TabFocusReason);
            press(Qt::Key_PageDown);
            QCOMPARE(fields(w), (QStringList{"Bob Dylan", "Desire", "", ""}));
            QVERIFY(!w.recordChanged());
            press(Qt::Key_PageDown);  // no question
            press(Qt::Key_PageUp);
            press(Qt::Key_PageUp);
            QCOMPARE(w.CmbArtist->currentText(), QString("ABBA"));
        }
        QVERIFY(f.desktop.messages.empty());
        QCOMPARE(f.catalogue.column(AllRows), stored);
    }

    void windowGoesWhileADropDownHasTheFocus() {
        MainWindowFixture f(mixedCaseRecords());
        const QStringList stored = f.catalogue.column(AllRows);
        auto& w = shown(f);
        click(w.CmdNext);  // "Rock" shown, while the list's own choice is still none
        QTest::mouseClick(w.CmbCategory->lineEdit(), Qt::LeftButton);
        f.window.reset();  // the field loses its focus while the window is half gone
        QCOMPARE(f.catalogue.column(AllRows), stored);
        QVERIFY(f.desktop.messages.empty());
    }

    void typedTextIsStoredAsTyped() {
        MainWindowFixture f(mixedCaseRecords());
        f.catalogue.execute("INSERT INTO Artist (Artist) VALUES ('Bob Dylan')");
        auto& w = shown(f);

        // New records: prefixes of list items stay prefixes.
        click(w.CmdAdd);
        type("Bob");
        f.desktop.answers = {Answer::No};  // "Bob" is somebody new
        press(Qt::Key_Tab);
        QCOMPARE(f.desktop.messages.size(), std::size_t(1));
        press(Qt::Key_Tab);
        type("Infidels");
        press(Qt::Key_Tab);
        type("po");
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        type("C");
        QCOMPARE(fields(w), (QStringList{"Bob", "Infidels", "po", "C"}));
        press(Qt::Key_Return);  // Insert
        QCOMPARE(f.catalogue.column(AllRows).last(), QString("Bob|Infidels|po|C"));

        // Edits of a shown record: another letter case stays as typed.
        press(Qt::Key_Escape);
        click(w.CmdLast);
        QCOMPARE(w.CmbCategory->currentText(), QString("Rock"));
        QTest::mouseClick(w.CmbCategory->lineEdit(), Qt::LeftButton);
        w.CmbCategory->lineEdit()->selectAll();
        type("ROCK");
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        w.cmbFormat->lineEdit()->selectAll();
        type("lp");
        press(Qt::Key_Tab);
        QCOMPARE(w.CmbCategory->currentText(), QString("ROCK"));
        QCOMPARE(w.cmbFormat->currentText(), QString("lp"));
        click(w.CmdUpdate);
        QCOMPARE(f.catalogue.column("SELECT Category || '|' || Format FROM Main "
                                    "WHERE Title = 'Desire'"),
                 QStringList{"ROCK|lp"});
        QCOMPARE(f.desktop.messages.size(), std::size_t(1));
    }

    void leavingAddModeNeverOffersAnArtist_data() {
        QTest::addColumn<bool>("autoAdd");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("byEscape");
        for (bool autoAdd : {false, true}) {
            for (const char* typed : {"", "Nina Simone"}) {
                for (bool byEscape : {true, false}) {
                    const QString name = QString("%1, %2, %3")
                                             .arg(autoAdd ? "auto add" : "ask")
                                             .arg(*typed ? "typed" : "empty")
                                             .arg(byEscape ? "Esc" : "Enter then Cancel");
                    QTest::newRow(qPrintable(name)) << autoAdd << QString(typed) << byEscape;
                }
            }
        }
    }
    void leavingAddModeNeverOffersAnArtist() {
        QFETCH(bool, autoAdd);
        QFETCH(QString, typed);
        QFETCH(bool, byEscape);
        MainWindowFixture f({{"Bob Dylan", "Desire", "Rock", "LP"}});  // not in the artist list
        auto& w = shown(f);
        const int listed = w.CmbArtist->count();
        if (autoAdd) {
            QTest::keyClick(&w.window(), Qt::Key_O, Qt::ControlModifier);
        }
        click(w.CmdAdd);
        QCOMPARE(focusName(), QString("CmbArtist"));
        type(typed);
        if (byEscape) {
            press(Qt::Key_Escape);
            QCOMPARE(w.lblMsgBar1->text(), QString("Add Mode Canceled"));
        } else {
            f.desktop.answers = {Answer::Cancel};
            press(Qt::Key_Return);  // the title is empty
            QCOMPARE(f.desktop.messages.size(), std::size_t(1));
            QCOMPARE(f.desktop.messages[0].text, QString("Artist and Title can not be empty."));
            QCOMPARE(w.lblMsgBar1->text(), QString());
        }
        QVERIFY(!f.state.Modes.adding());
        QCOMPARE(focusName(), QString("CmdAdd"));
        QCOMPARE(w.CmbArtist->currentText(), QString("Bob Dylan"));
        QCOMPARE(f.desktop.messages.size(), std::size_t(byEscape ? 0 : 1));
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Artist"), QStringList{"0"});
        QCOMPARE(w.CmbArtist->count(), listed);
    }

    void retryKeepsAddModeAndItsOffer() {
        MainWindowFixture f({{"Bob Dylan", "Desire", "Rock", "LP"}});
        auto& w = shown(f);
        click(w.CmdAdd);
        type("Nina Simone");
        // Enter with the title empty, Retry: the focus goes to the title, which leaves the
        // artist box in add mode, so the new name is offered.
        f.desktop.answers = {Answer::Retry, Answer::No};
        press(Qt::Key_Return);
        QCOMPARE(focusName(), QString("txtTitle"));
        QVERIFY(f.state.Modes.adding());
        QCOMPARE(f.desktop.messages.size(), std::size_t(2));
        QCOMPARE(f.desktop.messages[1].text,
                 QString("Name not in Artist Database\r\nWould you like to add it?"));
        type("Pastel Blues");
        press(Qt::Key_Return);
        QCOMPARE(f.catalogue.column("SELECT Title FROM Main WHERE Artist = 'Nina Simone'"),
                 QStringList{"Pastel Blues"});
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Artist"), QStringList{"0"});
    }
};

QTEST_MAIN(TestFieldEntry)
#include "tst_field_entry.moc"

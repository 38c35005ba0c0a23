// The three lookup-list editors, opened from the main window and used by keyboard and
// mouse: adding in two steps, the duplicate check, deleting, the count, and the lists the
// editors share with the main window, checked against the tables.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "support/MainWindowFixture.h"
#include "support/Modal.h"
#include "windows/lookup/LookupEditor.h"

using platform::Answer;
using platform::Icon;
using testing::click;
using testing::items;
using testing::MainWindowFixture;
using testing::shown;
using windows::LookupEditor;

namespace {

// One editor as the tests see it: how to open it, its table and its texts.
struct Kind {
    QString table;
    QString caption;
    QPushButton* const testing::MainPage::*button;
    QComboBox* const testing::MainPage::*mainBox;
    QString emptyOnAdd, duplicate, emptyOnDelete, notInTable, confirm, confirmTitle;
    QString one, many;
    int stored;
};

Kind kind(const QString& table) {
    if (table == "Artist") {
        return {"Artist",
                "Artist",
                &testing::MainPage::cmdArtist,
                &testing::MainPage::CmbArtist,
                "Artist can not be empty!",
                "Duplicate Artist, Try another name",
                "Select an Artist from the list!",
                " The Selected Artist not in Database",
                "Delete Current Record.",
                "Delete Artist",
                " Artist ",
                " Artists ",
                30};
    }
    if (table == "Category") {
        return {"Category",
                "Categories",
                &testing::MainPage::cmdCategory,
                &testing::MainPage::CmbCategory,
                "Category can not be empty!",
                "Duplicate Category, Try another Category.",
                "Select a Rating from the list!",
                QString(),
                "Delete Current Category.",
                "Delete Category",
                " Category ",
                " Categories ",
                5};
    }
    return {"Format",
            "Format",
            &testing::MainPage::cmdFormat,
            &testing::MainPage::cmbFormat,
            "Format can not be empty!",
            "Duplicate Format, Try another Format.",
            "Select a Format from the list!",
            " The Selected Actor not in Database",
            "Delete Current Format.",
            "Delete Format",
            " Format ",
            " Formats ",
            15};
}

void addKinds() {
    QTest::addColumn<QString>("table");
    for (const char* table : {"Artist", "Category", "Format"}) {
        QTest::newRow(table) << QString(table);
    }
}

void withEditor(const std::function<void()>& open,
                const std::function<void(LookupEditor&)>& inside) {
    testing::whileModal<LookupEditor>(open, inside);
}

void press(Qt::Key key) {
    QTest::keyClick(QApplication::focusWidget(), key);
}

}  // namespace

class TestLookupEditors : public QObject {
    Q_OBJECT

  private slots:
    void addTakesTwoStepsAndStoresWhatTheTableKeeps_data() { addKinds(); }
    void addTakesTwoStepsAndStoresWhatTheTableKeeps() {
        QFETCH(QString, table);
        const Kind k = kind(table);
        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        QComboBox* mainBox = w.*k.mainBox;
        const QString rows = "SELECT " + table + " FROM " + table + " ORDER BY rowid";
        const std::string sorted = "SELECT " + table.toStdString() + " FROM " +
                                   table.toStdString() + " ORDER BY quorvane_sort_key(" +
                                   table.toStdString() + "), rowid";
        const QString value = "Rock'n'Roll Revival Orchestra of the Year";
        const QString stored = value.left(k.stored).trimmed();  // no blank at its end
        withEditor([&] { click(w.*k.button); },
                   [&](LookupEditor& e) {
                       QCOMPARE(e.windowTitle(), k.caption);
                       QCOMPARE(w.lblMsgBar1->text(), QString());  // the editor empties the status
                       e.dropDown->setEditText(items(e.dropDown).value(0));
                       click(e.CmdAdd);  // idle -> inserting
                       QCOMPARE(e.CmdAdd->text(), QString("&Insert"));
                       QCOMPARE(e.mode(), QString("InsertMode"));
                       QCOMPARE(e.dropDown->currentText(), QString());
                       QVERIFY(!e.CmdDelete->isEnabled());
                       QCOMPARE(QApplication::focusWidget(), e.dropDown);

                       f.desktop.answers = {Answer::Retry};
                       press(Qt::Key_Return);  // empty: Retry keeps inserting
                       QCOMPARE(f.desktop.messages.back().text, k.emptyOnAdd);
                       QCOMPARE(f.desktop.messages.back().buttons, platform::Buttons::RetryCancel);
                       QCOMPARE(f.desktop.messages.back().icon, Icon::Information);
                       QCOMPARE(e.mode(), QString("InsertMode"));
                       QCOMPARE(QApplication::focusWidget(), e.dropDown);
                       f.desktop.answers = {Answer::Cancel};
                       press(Qt::Key_Return);  // Cancel: idle again
                       QCOMPARE(e.CmdAdd->text(), QString("&Add"));
                       QCOMPARE(e.mode(), QString("AddMode"));
                       QVERIFY(e.CmdDelete->isEnabled());
                       QCOMPARE(QApplication::focusWidget(), e.CmdAdd);

                       const int before = e.dropDown->count();
                       click(e.CmdAdd);
                       QTest::keyClicks(e.dropDown, value);
                       press(Qt::Key_Return);  // Enter presses Insert
                       QCOMPARE(f.catalogue.column(rows.toStdString()).last(), stored);
                       QCOMPARE(items(e.dropDown).size(), before + 1);
                       QVERIFY(items(e.dropDown).contains(stored));  // in its place
                       QCOMPARE(items(e.dropDown), f.catalogue.column(sorted));
                       QCOMPARE(items(mainBox), items(e.dropDown));
                       QCOMPARE(e.lblMsgBar1->text(), QString::number(before + 1) + " " +
                                                          (before + 1 == 1 ? k.one : k.many));
                       QCOMPARE(e.CmdAdd->text(), QString("&Add"));
                       QCOMPARE(QApplication::focusWidget(),
                                table == "Artist" ? static_cast<QWidget*>(e.CmdAdd) : e.dropDown);

                       // The same value again, in another letter case, a blank before it.
                       click(e.CmdAdd);
                       QTest::keyClicks(e.dropDown, " " + value.toUpper());
                       f.desktop.answers = {Answer::Ok};
                       click(e.CmdAdd);
                       QCOMPARE(f.desktop.messages.back().text, k.duplicate);
                       QCOMPARE(f.desktop.messages.back().icon, Icon::None);
                       QCOMPARE(e.mode(), QString("InsertMode"));
                       QCOMPARE(e.dropDown->currentText(), " " + value.toUpper());
                       QCOMPARE(items(e.dropDown).size(), before + 1);

                       QTest::keyClick(e.dropDown, Qt::Key_Escape);  // Esc in the drop-down closes
                       QVERIFY(!e.isVisible());
                   });
        QCOMPARE(w.lblMsgBar1->text(),
                 QString("Closed ") + (table == "Artist" ? "Artists" : table) + " Form");
        QCOMPARE(w.window().focusWidget(), mainBox);
        QCOMPARE(f.desktop.messages.size(), std::size_t(3));
    }

    void deleteRemovesTheRowsAndTheirEntries_data() { addKinds(); }
    void deleteRemovesTheRowsAndTheirEntries() {
        QFETCH(QString, table);
        const Kind k = kind(table);
        MainWindowFixture f(testing::threeRecords());
        const std::string t = table.toStdString();
        f.catalogue.execute("DELETE FROM " + t);
        f.catalogue.execute("INSERT INTO " + t + " VALUES ('Blues'), ('O''Day'), ('Jazz'), " +
                            "('jazz'), ('Soul')");
        auto& w = shown(f);
        const std::string rows = "SELECT " + t + " FROM " + t + " ORDER BY rowid";
        withEditor(
            [&] { click(w.*k.button); },
            [&](LookupEditor& e) {
                f.desktop.answers = {Answer::Ok};
                e.dropDown->setEditText(QString());
                click(e.CmdDelete);
                QCOMPARE(f.desktop.messages.back().text, k.emptyOnDelete);
                QCOMPARE(f.desktop.messages.back().icon, Icon::Exclamation);

                e.dropDown->setEditText("O'Day");  // typed, with an apostrophe
                f.desktop.answers = {Answer::No};
                click(e.CmdDelete);
                QCOMPARE(f.desktop.messages.back().text, k.confirm);
                QCOMPARE(f.desktop.messages.back().title, k.confirmTitle);
                QCOMPARE(f.catalogue.column(rows).size(), 5);  // No: nothing goes
                f.desktop.answers = {Answer::Yes};
                click(e.CmdDelete);
                QCOMPARE(f.catalogue.column(rows), (QStringList{"Blues", "Jazz", "jazz", "Soul"}));
                QCOMPARE(items(e.dropDown), (QStringList{"Blues", "jazz", "Jazz", "Soul"}));

                // "JAZZ" matches two rows as the table compares: the artist editor deletes the
                // first, the others every one; the lists lose exactly those entries.
                e.dropDown->setEditText("JAZZ");
                f.desktop.answers = {Answer::Yes};
                click(e.CmdDelete);
                const QStringList left = table == "Artist" ? QStringList{"Blues", "jazz", "Soul"}
                                                           : QStringList{"Blues", "Soul"};
                QCOMPARE(f.catalogue.column(rows), left);
                QCOMPARE(items(e.dropDown), left);
                QCOMPARE(items(w.*k.mainBox), left);

                const int beeps = f.desktop.beeps;
                e.dropDown->setEditText("Polka");  // in neither the list nor the table
                if (k.notInTable.isEmpty()) {
                    f.desktop.answers = {Answer::Yes};  // asked all the same; nothing goes
                } else {
                    f.desktop.answers = {Answer::Ok};
                }
                click(e.CmdDelete);
                if (!k.notInTable.isEmpty()) {
                    QCOMPARE(f.desktop.messages.back().text, k.notInTable);
                    QCOMPARE(f.desktop.messages.back().icon, Icon::Information);
                    QCOMPARE(f.desktop.beeps, beeps + 1);
                }
                QCOMPARE(items(e.dropDown), left);
                QCOMPARE(e.lblMsgBar1->text(), QString::number(left.size()) + " " + k.many);
            });
    }

    void listChangesNeverChangeTheShownRecord() {
        MainWindowFixture f(testing::threeRecords());  // ABBA, Arrival, Pop, CD first
        auto& w = shown(f);
        w.CmbCategory->setCurrentIndex(w.CmbCategory->findText("Pop"));  // as a pick would
        w.window().DisplayRecord();
        withEditor([&] { w.mnuCategoryTable->trigger(); },
                   [&](LookupEditor& e) {
                       e.dropDown->setEditText("Pop");
                       f.desktop.answers = {Answer::Yes};
                       click(e.CmdDelete);
                       click(e.CmdAdd);
                       QTest::keyClicks(e.dropDown, "Ambient");
                       click(e.CmdAdd);
                   });
        QCOMPARE(w.CmbCategory->currentText(), QString("Pop"));
        QVERIFY(!w.recordChanged());
        QCOMPARE(w.lblMsgBar1->text(), QString("Closed Category Form"));
        QVERIFY(items(w.CmbCategory).contains("Ambie") && !items(w.CmbCategory).contains("Pop"));
    }

    void countSaysHowManyWithItsBlanks() {
        MainWindowFixture f;
        f.catalogue.execute("DELETE FROM Format");
        auto& w = shown(f);
        withEditor([&] { w.mnuFormat->trigger(); },
                   [&](LookupEditor& e) {
                       QCOMPARE(e.lblMsgBar1->text(), QString("  Formats "));
                       for (const char* format : {"CD", "LP"}) {
                           click(e.CmdAdd);
                           QTest::keyClicks(e.dropDown, format);
                           click(e.CmdAdd);
                           if (QString(format) == "CD") {
                               QCOMPARE(e.lblMsgBar1->text(), QString("1  Format "));
                           }
                       }
                       QCOMPARE(e.lblMsgBar1->text(), QString("2  Formats "));
                   });
    }

    void artistEditorIsKeptTheOthersAreMadeAfresh() {
        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        f.catalogue.execute("INSERT INTO Category VALUES (NULL)");  // listed as empty text
        windows::FrmArtist* const artist = w.window().frmArtist();
        withEditor([&] { w.mnuArtistDatabase->trigger(); },
                   [&](LookupEditor& e) {
                       QCOMPARE(&e, artist);
                       QCOMPARE(QApplication::focusWidget(), e.CmdAdd);
                       click(e.CmdAdd);
                       QTest::keyClicks(e.dropDown, "Half typed");
                       click(e.CmdReturn);  // left while inserting
                   });
        QCOMPARE(w.lblMsgBar1->text(), QString("Closed Artists Form"));
        withEditor([&] { w.mnuArtistDatabase->trigger(); },
                   [&](LookupEditor& e) {
                       QCOMPARE(&e, artist);
                       QCOMPARE(e.dropDown->currentText(), QString());
                       QCOMPARE(e.CmdAdd->text(), QString("&Add"));
                       QCOMPARE(e.mode(), QString("AddMode"));
                       QVERIFY(!e.CmdDelete->isEnabled());  // as it was left
                       e.close();  // the window's own close button acts as Return
                   });
        QVERIFY(!artist->isVisible());

        QPointer<LookupEditor> category;
        withEditor([&] { w.mnuCategoryTable->trigger(); },
                   [&](LookupEditor& e) {
                       category = &e;
                       QCOMPARE(e.dropDown->currentText(), QString());  // starts empty
                       QVERIFY(f.state.session.rsCategory.isOpen());
                       QCOMPARE(items(e.dropDown).first(), QString());
                       QCOMPARE(items(e.dropDown), items(w.CmbCategory));
                   });
        QVERIFY(category.isNull());  // gone with its opening
        QVERIFY(!f.state.session.rsCategory.isOpen());
        QVERIFY(f.desktop.messages.empty());
    }

    void databaseFailuresAreSaidAndChangeNothing() {
        MainWindowFixture f(testing::threeRecords());
        auto& w = shown(f);
        const QStringList listed = items(w.CmbCategory);
        std::optional<testing::FileLock> holder;
        withEditor([&] { click(w.cmdCategory); },
                   [&](LookupEditor& e) {
                       holder.emplace(f.catalogue.path());
                       click(e.CmdAdd);
                       QTest::keyClicks(e.dropDown, "Dub");
                       f.desktop.answers = {Answer::Ok};
                       click(e.CmdAdd);
                       QVERIFY(f.desktop.messages.back().text.endsWith(
                           "in procedure CmdAdd_Click of Form 'FrmCategory'"));
                       QCOMPARE(e.mode(), QString("InsertMode"));  // still inserting, text kept
                       QCOMPARE(e.dropDown->currentText(), QString("Dub"));
                       QCOMPARE(items(e.dropDown), listed);

                       e.dropDown->setEditText(QString());
                       f.desktop.answers = {Answer::Cancel};
                       click(e.CmdAdd);  // back to idle, where Delete works
                       e.dropDown->setEditText("Pop");
                       f.desktop.answers = {Answer::Ok};
                       click(e.CmdDelete);  // the table cannot even be searched
                       QVERIFY(f.desktop.messages.back().text.endsWith(
                           "in procedure CmdDelete_Click of Form 'FrmCategory'"));
                       QCOMPARE(items(e.dropDown), listed);
                       holder.reset();
                   });
        QCOMPARE(f.catalogue.column(
                     "SELECT Category FROM Category ORDER BY quorvane_sort_key(Category)"),
                 listed);

        holder.emplace(f.catalogue.path());  // the editor cannot read its table
        f.desktop.answers = {Answer::Ok};
        withEditor([&] { click(w.cmdFormat); },
                   [&](LookupEditor& e) {
                       QVERIFY(f.desktop.messages.back().text.endsWith(
                           "in procedure Form_Load of Form 'FrmFormat'"));
                       QVERIFY(e.isVisible());
                       click(e.CmdAdd);
                       QTest::keyClicks(e.dropDown, "Disc");
                       f.desktop.answers = {Answer::Ok};
                       click(e.CmdAdd);  // still held: said as for any command
                       QVERIFY(f.desktop.messages.back().text.endsWith(
                           "in procedure CmdAdd_Click of Form 'FrmFormat'"));
                       holder.reset();
                       click(e.CmdAdd);  // the file is free: the list is read, Disc stored
                       QCOMPARE(e.mode(), QString("AddMode"));
                       QCOMPARE(items(e.dropDown), items(w.cmbFormat));
                       QVERIFY(items(e.dropDown).contains("Disc"));
                       click(e.CmdReturn);  // and can still be left
                   });
        QCOMPARE(w.lblMsgBar1->text(), QString("Closed Format Form"));
        QCOMPARE(f.catalogue.column("SELECT count(*) FROM Format WHERE Format = 'Disc'"),
                 QStringList{"1"});

        // Found and confirmed, then refused by the table: no entry leaves the lists.
        for (const char* table : {"Category", "Artist"}) {
            const std::string t = table;
            f.catalogue.execute("CREATE TRIGGER keep" + t + " BEFORE DELETE ON " + t +
                                " BEGIN SELECT RAISE(ABORT, 'kept'); END");
            if (t == "Artist") {
                f.catalogue.execute("INSERT INTO Artist VALUES ('Pop')");
                w.window().GetArtist();  // the artist list as the file now has it
            }
            const Kind k = kind(table);
            const QStringList before = items(w.*k.mainBox);
            withEditor([&] { click(w.*k.button); },
                       [&](LookupEditor& e) {
                           e.dropDown->setEditText("Pop");
                           f.desktop.answers = {Answer::Yes, Answer::Ok};
                           click(e.CmdDelete);
                           QVERIFY(f.desktop.messages.back().text.contains("kept"));
                           QVERIFY(f.desktop.messages.back().text.endsWith(
                               QString("in procedure CmdDelete_Click of Form 'Frm%1'").arg(table)));
                           QCOMPARE(items(e.dropDown), before);
                       });
            QCOMPARE(f.catalogue.column("SELECT count(*) FROM " + t + " WHERE " + t + " = 'Pop'"),
                     QStringList{"1"});
        }
    }
};

QTEST_MAIN(TestLookupEditors)
#include "tst_lookup_editors.moc"

// The browse window: filled from the main window's Browse button, stopped by Esc, and a
// double-click that goes to the record of the row.
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "support/BrowseGrid.h"
#include "support/MainWindowFixture.h"
#include "windows/browse/FrmBrowse.h"
#include "windows/controls/Grid.h"

using platform::Answer;
using testing::click;
using testing::doubleClickRow;
using testing::MainWindowFixture;
using testing::shown;
using windows::FrmBrowse;

namespace {

// The grid's rows as "artist|title|category|format", in the order shown.
QStringList rows(const FrmBrowse& browse) {
    const windows::GridModel* model = browse.Grid1->gridModel();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 1; column <= 4; ++column) {
            cells << model->cellText(row, column);
        }
        texts << cells.join('|');
    }
    return texts;
}

std::vector<testing::TestCatalogue::Row> collection() {
    return {{"Bowie", "Low", "Rock", "CD"},
            {"ABBA", "Arrival", "Pop", "CD"},
            {"Bowie", "Low", "Rock", "LP"},  // the same album twice: on CD and on LP
            {"Cale", "Paris 1919", nullptr, "LP"}};
}

}  // namespace

class TestBrowse : public QObject {
    Q_OBJECT

  private slots:
    void fillsTheGridInTheViewsOrder() {
        MainWindowFixture f(collection());
        auto& w = shown(f);
        click(w.CmdNext);  // Bowie, Low, CD
        bool progressShown = false;
        f.desktop.onEvents = [&] {
            progressShown = progressShown ||
                            (w.ProgressBar1->isVisible() &&
                             w.ProgressBar1->text().startsWith("Filling the browse window... "));
            QVERIFY(!w.window().centralWidget()->isEnabled());  // only Esc while the fill runs
        };
        click(w.CmdBrowse);
        FrmBrowse* browse = w.window().frmBrowse();
        QVERIFY(browse->isVisible());
        QCOMPARE(browse->windowTitle(), QString("Browse"));
        QCOMPARE(browse->Grid1->toolTip(), QString("Click a column to change the sort order."));
        QVERIFY(browse->Grid1->isColumnHidden(0));
        QCOMPARE(rows(*browse), (QStringList{"ABBA|Arrival|Pop|CD", "Bowie|Low|Rock|CD",
                                             "Bowie|Low|Rock|LP", "Cale|Paris 1919||LP"}));
        QVERIFY(progressShown && !w.ProgressBar1->isVisible());
        QCOMPARE(w.lblMsgBar1->text(), QString());
        QVERIFY(w.window().centralWidget()->isEnabled());
        QCOMPARE(w.cmbFormat->currentText(), QString("CD"));  // the main window stays put
        QVERIFY(!f.desktop.busy);

        // A click on a header sorts, up first, then down.
        QHeaderView* header = browse->Grid1->horizontalHeader();
        const int x = header->sectionViewportPosition(2) + 5;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
        QCOMPARE(rows(*browse).last(), QString("Cale|Paris 1919||LP"));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
        QCOMPARE(rows(*browse).first(), QString("Cale|Paris 1919||LP"));

        // Browse again while open: filled afresh, in the view now in force.
        f.catalogue.insert({{"Nico", "Chelsea Girl", "Folk", "LP"}});
        w.mnuViewTitle->trigger();
        click(w.CmdBrowse);
        QCOMPARE(rows(*browse).size(), 5);
        QCOMPARE(rows(*browse).first(), QString("ABBA|Arrival|Pop|CD"));
        QCOMPARE(rows(*browse)[1], QString("Nico|Chelsea Girl|Folk|LP"));
        QVERIFY(f.desktop.messages.empty());
    }

    void escapeStopsTheFill() {
        MainWindowFixture f(collection());
        auto& w = shown(f);
        click(w.CmdLast);
        f.desktop.onEvents = [&] { QTest::keyClick(&w.window(), Qt::Key_Escape); };
        click(w.CmdBrowse);
        QCOMPARE(w.lblMsgBar1->text(), QString("Browse Interupted"));
        QVERIFY(!w.window().frmBrowse()->isVisible());  // a window that was not open stays hidden
        QCOMPARE(w.CmbArtist->currentText(), QString("Cale"));
        QVERIFY(!f.desktop.busy);
        f.desktop.onEvents = {};
        click(w.CmdBrowse);  // and the next browse is whole
        QCOMPARE(rows(*w.window().frmBrowse()).size(), 4);
    }

    void aDoubleClickGoesToTheRecordOfThatRow() {
        MainWindowFixture f(collection());
        auto& w = shown(f);
        click(w.CmdBrowse);
        FrmBrowse* browse = w.window().frmBrowse();
        doubleClickRow(*browse, 2);  // the LP of the two Bowie "Low" rows
        QVERIFY(!browse->isVisible());
        QCOMPARE(w.CmbArtist->currentText(), QString("Bowie"));
        QCOMPARE(w.cmbFormat->currentText(), QString("LP"));
        QVERIFY(w.CmdBookmark->isEnabled());
        click(w.CmdBookmark);  // back to the record shown before the jump
        QCOMPARE(w.CmbArtist->currentText(), QString("ABBA"));

        // From the keyboard: Enter on a row is a double-click.
        click(w.CmdBrowse);
        browse->Grid1->setFocus();
        browse->Grid1->setCurrentIndex(browse->Grid1->model()->index(3, 1));
        QTest::keyClick(browse->Grid1, Qt::Key_Return);
        QCOMPARE(w.CmbArtist->currentText(), QString("Cale"));

        // A row whose record has gone since the fill.
        click(w.CmdBrowse);
        f.catalogue.execute("DELETE FROM Main WHERE Artist = 'ABBA'");
        f.state.session.rsMain.requery();  // as reopening the view would
        f.desktop.answers = {Answer::Ok};
        doubleClickRow(*browse, 0);
        QCOMPARE(f.desktop.messages.back().text, QString("Something went wrong with the search!"));
        QCOMPARE(f.desktop.messages.back().icon, platform::Icon::Exclamation);
        QCOMPARE(w.CmbArtist->currentText(), QString("Bowie"));  // the first record
        QVERIFY(!browse->isVisible());
    }

    void aDoubleClickOffersToSaveTheEditFirst() {
        MainWindowFixture f(collection());
        auto& w = shown(f);
        w.txtTitle->setFocus();
        QTest::keyClicks(w.txtTitle, " (live)");  // on ABBA's "Arrival"
        click(w.CmdBrowse);
        f.desktop.answers = {Answer::Yes};
        doubleClickRow(*w.window().frmBrowse(), 3);
        QCOMPARE(f.desktop.messageTexts(),
                 QStringList{"Changes have been made to record\r\nSave Changes?"});
        QCOMPARE(w.CmbArtist->currentText(), QString("Cale"));
        QCOMPARE(f.catalogue.column("SELECT Title FROM Main WHERE Artist = 'ABBA'"),
                 QStringList{"Arrival (live)"});
    }

    // Another program holding the file: the browse says so and shows no empty rows, and the
    // main window keeps its record and the edit typed into it.
    void aHeldFileIsSaidAndTheEditKept() {
        MainWindowFixture f(collection());
        auto& w = shown(f);
        w.txtTitle->setFocus();
        QTest::keyClicks(w.txtTitle, " (live)");  // on ABBA's "Arrival"
        testing::FileLock lock(f.catalogue.path());
        f.desktop.answers = {Answer::Ok};
        click(w.CmdBrowse);
        QCOMPARE(f.desktop.messageTexts(),
                 QStringList{"The records could not be read for the browse window.\r\nThe "
                             "catalogue file is locked by another program. Close that program "
                             "and try again."});
        QVERIFY(!w.window().frmBrowse()->isVisible());
        QCOMPARE(w.window().frmBrowse()->Grid1->model()->rowCount(), 0);
        QVERIFY(w.window().centralWidget()->isEnabled() && !f.desktop.busy);
        lock.release();
        click(w.CmdUpdate);
        QCOMPARE(f.catalogue.column("SELECT Title FROM Main WHERE Artist = 'ABBA'"),
                 QStringList{"Arrival (live)"});
        click(w.CmdBrowse);  // and once the file is free, the rows are there
        QVERIFY(w.window().frmBrowse()->isVisible());
        QCOMPARE(rows(*w.window().frmBrowse()).first(), QString("ABBA|Arrival (live)|Pop|CD"));
    }

    // Another tool compacts the file while the grid is shown, renumbering the records: the
    // grid is filled again in the new numbering, and a double-click meanwhile goes nowhere.
    void aCompactionByAnotherToolFillsTheGridAgain() {
        MainWindowFixture f(testing::numberedRecords(30));
        auto& w = shown(f);
        click(w.CmdBrowse);
        FrmBrowse& browse = *w.window().frmBrowse();
        QCOMPARE(rows(browse).size(), 30);
        QCOMPARE(
            testing::stockTool(f.catalogue.path(), "DELETE FROM Main WHERE rowid = 2; VACUUM;"),
            QString());
        doubleClickRow(browse, 2);  // the rows' ids are another numbering's: no jump
        QTRY_COMPARE(rows(browse).size(), 29);
        QCOMPARE(rows(browse).last(), QString("Artist 0029|Title 29|Rock|CD"));
        QCOMPARE(rows(browse).at(1), QString("Artist 0002|Title 2|Rock|CD"));
        QCOMPARE(w.CmbArtist->currentText(), QString("Artist 0000"));
        doubleClickRow(browse, 2);
        QCOMPARE(w.CmbArtist->currentText(), QString("Artist 0003"));
    }

    // Words typed into the find box (Ctrl+F) show the rows holding them all, a moment
    // later, in the grid's order; Esc empties a box with text, then hides the window; the
    // filter stays through a hide and a sort, follows another program's writes at the next
    // key, and a double-click goes to the record of the row it is on.
    void typedWordsShowOnlyTheRowsHoldingThem() {
        MainWindowFixture f(collection());
        auto& w = shown(f);
        click(w.CmdBrowse);
        FrmBrowse& browse = *w.window().frmBrowse();
        browse.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&browse));
        QTest::keyClick(browse.Grid1, Qt::Key_F, Qt::ControlModifier);
        QTRY_COMPARE(QApplication::focusWidget(), browse.txtFind);
        QTest::keyClick(browse.txtFind, Qt::Key_Tab);  // to the grid and back, as Tab goes
        QTest::keyClick(browse.Grid1, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), browse.txtFind);
        QTest::keyClicks(browse.txtFind, "LOW cd");
        QTRY_COMPARE(browse.lblFound->text(), QString("1 of 4 records"));
        QCOMPARE(rows(browse), QStringList{"Bowie|Low|Rock|CD"});
        browse.txtFind->clear();
        QTest::keyClicks(browse.txtFind, "format:lp");
        QTRY_COMPARE(rows(browse), (QStringList{"Bowie|Low|Rock|LP", "Cale|Paris 1919||LP"}));
        QHeaderView* header = browse.Grid1->horizontalHeader();
        for (int click = 0; click < 2; ++click) {  // up, then down
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(1) + 5, 5));
        }
        QCOMPARE(rows(browse), (QStringList{"Cale|Paris 1919||LP", "Bowie|Low|Rock|LP"}));
        QTest::keyClick(browse.txtFind, Qt::Key_Escape);  // emptied: every row again
        QVERIFY(browse.isVisible());
        QCOMPARE(rows(browse).size(), 4);
        QCOMPARE(browse.lblFound->text(), QString());
        QTest::keyClicks(browse.txtFind, "paris");
        QTRY_COMPARE(rows(browse), QStringList{"Cale|Paris 1919||LP"});
        QTest::keyClick(browse.Grid1, Qt::Key_Escape);  // from the grid: hidden, kept
        QVERIFY(!browse.isVisible());
        click(w.CmdBrowse);
        QTRY_COMPARE(rows(browse), QStringList{"Cale|Paris 1919||LP"});
        QCOMPARE(testing::stockTool(f.catalogue.path(),
                                    "UPDATE Main SET Title = 'Voulez-Vous à Paris' "
                                    "WHERE Artist = 'ABBA'"),
                 QString());
        QTest::keyClick(browse.txtFind, Qt::Key_Space);
        QTRY_COMPARE(rows(browse),
                     (QStringList{"ABBA|Voulez-Vous à Paris|Pop|CD", "Cale|Paris 1919||LP"}));
        // Another program holds the file: said, and searched again once it lets go.
        std::optional<testing::FileLock> held(std::in_place, f.catalogue.path());
        QTest::keyClicks(browse.txtFind, "1919");
        QTRY_VERIFY(browse.lblFound->toolTip().startsWith("Another program holds the catalogue"));
        held.reset();
        QTRY_COMPARE(rows(browse), QStringList{"Cale|Paris 1919||LP"});
        QCOMPARE(browse.lblFound->text(), QString("1 of 4 records"));
        doubleClickRow(browse, 0);
        QCOMPARE(w.CmbArtist->currentText(), QString("Cale"));
        QVERIFY(!browse.isVisible());
    }

    void anEmptyCatalogueBrowsesEmpty() {
        MainWindowFixture f;
        auto& w = shown(f);
        click(w.CmdBrowse);
        FrmBrowse* browse = w.window().frmBrowse();
        QVERIFY(browse->isVisible());
        QCOMPARE(rows(*browse), QStringList());
        browse->Grid1_DblClick(0);  // nothing to go to: the window only hides
        QVERIFY(!browse->isVisible());
        QVERIFY(f.desktop.messages.empty());
    }

    void searchResultsAreBrowsedAndJumpedTo() {
        MainWindowFixture f(collection());
        auto& w = shown(f);
        // The results of a search for artists from B on, as the search window leaves them.
        f.state.session.rsSearch.open(f.state.session.cnMain,
                                      {"Main", "Artist, rowid", "Artist >= ?", {"B"}});
        f.state.Modes.enterSearching();
        w.window().DisplayRecord();
        click(w.CmdBrowse);
        FrmBrowse* browse = w.window().frmBrowse();
        QCOMPARE(rows(*browse),
                 (QStringList{"Bowie|Low|Rock|CD", "Bowie|Low|Rock|LP", "Cale|Paris 1919||LP"}));
        doubleClickRow(*browse, 2);
        QCOMPARE(w.CmbArtist->currentText(), QString("Cale"));
        click(w.CmdPrev);  // moving within the results
        QCOMPARE(w.cmbFormat->currentText(), QString("LP"));
        QCOMPARE(w.CmbArtist->currentText(), QString("Bowie"));
    }

    // A header sort reads the column's index, not the texts: the same order as the views,
    // numbers first by value, ties kept in the order shown.
    void aHeaderSortFollowsTheViewsOrderAndNumbers() {
        MainWindowFixture f({{"Zappa", "a", "Rock", "CD"},
                             {"édith piaf", "b", "Pop", "CD"},
                             {"10", "c", "Pop", "CD"},
                             {"Édith Piaf", "d", "Pop", "CD"},
                             {" 9 ", "e", "Pop", "CD"},
                             {"Мумий Тролль", "f", "Rock", "CD"},
                             {"мумий тролль", "g", "Rock", "CD"},
                             {"-2.5", "h", "Pop", "CD"},
                             {"Björk", "i", "Pop", "CD"},
                             {"(What's the Story)", "j", "Pop", "CD"},
                             {nullptr, "k", "Pop", "CD"},
                             {"Zappa", "l", "Rock", "LP"}});
        auto& w = shown(f);
        w.mnuViewTitle->trigger();
        click(w.CmdBrowse);
        FrmBrowse* browse = w.window().frmBrowse();
        auto sortBy = [&](int column) {  // a click on the column's header
            QHeaderView* header = browse->Grid1->horizontalHeader();
            const QPoint at(header->sectionViewportPosition(column) + 5, 5);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        };
        auto column = [&](int which) {
            QStringList cells;
            for (const QString& row : rows(*browse)) {
                cells << row.section('|', which - 1, which - 1);
            }
            return cells;
        };
        QVERIFY(!browse->Grid1->horizontalHeader()->isSortIndicatorShown());
        sortBy(1);  // up first, the arrow on the column
        QVERIFY(browse->Grid1->horizontalHeader()->isSortIndicatorShown());
        QCOMPARE(browse->Grid1->horizontalHeader()->sortIndicatorSection(), 1);
        QCOMPARE(browse->Grid1->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
        const QStringList byArtist{
            "-2.5",       " 9 ",        "10",    "",      "(What's the Story)", "Björk",
            "édith piaf", "Édith Piaf", "Zappa", "Zappa", "мумий тролль",       "Мумий Тролль"};
        QCOMPARE(column(1), byArtist);
        QCOMPARE(column(2).mid(8, 2), (QStringList{"a", "l"}));  // the title order kept
        // The artist view orders the texts the same way (its numbers as texts).
        w.mnuViewArtist->trigger();
        click(w.CmdBrowse);
        QCOMPARE(column(1).mid(5), byArtist.mid(5));
        // A record deleted since the fill shows empty and sorts as an empty text.
        f.catalogue.execute("DELETE FROM Main WHERE Title = 'g'");
        sortBy(1);  // filled again: up first, then down
        QCOMPARE(browse->Grid1->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
        sortBy(1);
        QCOMPARE(browse->Grid1->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(column(1).first(), QString("Мумий Тролль"));
        QCOMPARE(rows(*browse)[8], QString("|||"));  // after the Null, before the numbers
        QCOMPARE(column(1).mid(9), (QStringList{"10", " 9 ", "-2.5"}));
        sortBy(2);  // another column: up
        QCOMPARE(column(2),
                 (QStringList{"", "a", "b", "c", "d", "e", "f", "h", "i", "j", "k", "l"}));
        // Another program holding the file: the rows stay as they are, and the user is told.
        const QStringList before = rows(*browse);
        testing::FileLock lock(f.catalogue.path());
        f.desktop.answers = {Answer::Ok};
        sortBy(3);
        QCOMPARE(rows(*browse), before);
        QVERIFY(f.desktop.messages.back().text.contains("Grid1_Click"));
        QVERIFY(!f.desktop.busy);
    }

    // Columns wanting widths (twips) share a total.
    void fitWidthsShareTheRoomAsTheTextsWantIt_data() {
        QTest::addColumn<std::vector<int>>("wanted");
        QTest::addColumn<int>("total");
        QTest::addColumn<std::vector<int>>("widths");
        QTest::newRow("room to spare") << std::vector{100, 300} << 800 << std::vector{200, 600};
        QTest::newRow("exactly") << std::vector{100, 300} << 400 << std::vector{100, 300};
        QTest::newRow("short ones kept whole")
            << std::vector{3000, 6000, 900, 500} << 6000 << std::vector{2300, 2300, 900, 500};
        QTest::newRow("all too wide") << std::vector{5000, 6000} << 3001 << std::vector{1500, 1501};
        QTest::newRow("nothing wanted")
            << std::vector{0, 0, 0} << 301 << std::vector{100, 100, 101};
        QTest::newRow("no room") << std::vector{10, 20} << 0 << std::vector{0, 0};
    }
    void fitWidthsShareTheRoomAsTheTextsWantIt() {
        QFETCH(std::vector<int>, wanted);
        QFETCH(int, total);
        QFETCH(std::vector<int>, widths);
        QCOMPARE(windows::fitWidths(wanted, total), widths);
    }

    // The window's width is shared as the columns' texts want it: the artist's name whole, the
    // Format column no wider than it needs.
    void columnsFitTheirTexts() {
        auto records = collection();
        records.push_back(
            {"Orchestral Manoeuvres in the Dark", "Architecture & Morality", "Synth-pop", "CD"});
        MainWindowFixture f(records);
        auto& w = shown(f);
        click(w.CmdBrowse);
        FrmBrowse* browse = w.window().frmBrowse();
        browse->resize(900, 400);
        QTRY_COMPARE(browse->width(), 900);
        windows::Grid* grid = browse->Grid1;
        int sum = 0;
        for (int column = 1; column <= 4; ++column) {
            sum += grid->columnWidth(column);
        }
        QVERIFY2(sum > 4 * 180 && sum < 4 * 225, qPrintable(QString::number(sum)));
        QVERIFY(grid->columnWidth(1) >= grid->contentWidth(1, 10));
        QVERIFY(grid->columnWidth(4) < grid->columnWidth(1) / 2);
        QTest::keyClick(browse->Grid1, Qt::Key_Escape);  // Esc hides, the rows stay
        QVERIFY(!browse->isVisible());
        QCOMPARE(rows(*browse).size(), 5);
    }
};

QTEST_MAIN(TestBrowse)
#include "tst_browse.moc"

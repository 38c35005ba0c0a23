// The counts window: the four tallies, the sort on a click, hiding and closing, its size.
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/looks/Twips.h"
#include "support/MainWindowFixture.h"
#include "support/Modal.h"
#include "windows/controls/Grid.h"
#include "windows/counts/CountsChart.h"
#include "windows/counts/FrmCounts.h"

using platform::Answer;
using testing::click;
using testing::MainWindowFixture;
using testing::shown;
using windows::FrmCounts;

namespace {

// The grid as the user reads it: "value=count" per row, in the order shown.
QStringList tally(const FrmCounts& counts) {
    const windows::GridModel* model = counts.Grid1->gridModel();
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        rows << model->cellText(row, 1) + "=" + model->cellText(row, 2);
    }
    return rows;
}

QString header(const FrmCounts& counts, int column) {
    return counts.Grid1->gridModel()
        ->headerData(column, Qt::Horizontal, Qt::DisplayRole)
        .toString();
}

void clickCell(FrmCounts& counts, int row, int column) {
    QTableView* grid = counts.Grid1;
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

void clickHeader(FrmCounts& counts, int column) {
    QHeaderView* header = counts.Grid1->horizontalHeader();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

std::vector<testing::TestCatalogue::Row> collection() {
    return {{"Bowie", "Low", "Rock", "LP"},          {"Bowie", "Heroes", "Rock", "LP"},
            {"abba", "Arrival", "Pop", "CD"},        {nullptr, "Low", nullptr, "LP"},
            {"Cale", "Paris 1919", "rock", nullptr}, {"Bowie", "Lodger", nullptr, "LP"}};
}

}  // namespace

class TestCounts : public QObject {
    Q_OBJECT

  private slots:
    // Groups in the collation's order: case and the way an accent is written do not split
    // a group, a different accent does.
    void namesInEveryScriptGroupByLettersAndAccents() {
        std::vector<testing::TestCatalogue::Row> rows;
        for (const char* artist :
             {"Zappa", "ABBA", "Björk", "abba", "Céline Dion", "Ce\u0301line Dion", "Bjork",
              "ÉDITH PIAF", "Édith Piaf", "Αλκίνοος", "ΑΛΚΊΝΟΟΣ", "Мумий", "мумий", "ABBA"}) {
            rows.push_back({artist, "Album", "Pop", "CD"});
        }
        MainWindowFixture f(rows);
        auto& w = shown(f);
        testing::whileModal<FrmCounts>(
            [&] { w.mnuCounts->trigger(); },
            [&](FrmCounts& c) {
                QCOMPARE(tally(c),
                         (QStringList{"ABBA=3", "Bjork=1", "Björk=1", "Céline Dion=2",
                                      "Édith Piaf=2", "Zappa=1", "Αλκίνοος=2", "мумий=2"}));
            });
    }

    // Blanks typed at a field's ends are not kept, so the record counts with its name; a text
    // another program wrote with a blank is left as written until the user changes it, and
    // counts with the name too.
    void blanksAtTheEndsMakeNoSecondGroup() {
        MainWindowFixture f({{"Nick Drake", "Pink Moon", "Funk", "CD"}});
        f.catalogue.insert({{"Nick Drake", "Bryter Layter ", "Funk\u3000", "CD"}});
        auto& w = shown(f);
        click(w.CmdAdd);
        f.desktop.answers = {Answer::No};  // not added to the artist list
        QTest::keyClicks(w.CmbArtist, " Nick Drake ");
        const std::pair<QWidget*, const char*> typed[] = {
            {static_cast<QWidget*>(w.txtTitle), "Pink Moon  "},
            {static_cast<QWidget*>(w.CmbCategory), "Funk  "},
            {static_cast<QWidget*>(w.cmbFormat), "CD\t"}};
        for (const auto& [box, text] : typed) {
            box->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(box, text);
        }
        click(w.CmdAdd);  // Insert
        QCOMPARE(f.desktop.messageTexts(),
                 QStringList{"Name not in Artist Database\r\nWould you like to add it?"});
        QTest::keyClick(w.CmbArtist, Qt::Key_Escape);  // out of add mode
        click(w.CmdFirst);  // Bryter Layter, its title changed: only the title is written
        QCOMPARE(w.txtTitle->text(), QString("Bryter Layter "));
        w.txtTitle->setText("Bryter Layter  ");
        click(w.CmdUpdate);
        QCOMPARE(w.txtTitle->text(), QString("Bryter Layter"));  // as it is kept
        QCOMPARE(
            f.catalogue.column("SELECT Artist || '|' || Title || '|' || Category || '|' || "
                               "Format FROM Main ORDER BY rowid"),
            (QStringList{"Nick Drake|Pink Moon|Funk|CD", "Nick Drake|Bryter Layter|Funk\u3000|CD",
                         "Nick Drake|Pink Moon|Funk|CD"}));
        testing::whileModal<FrmCounts>(
            [&] { w.mnuCounts->trigger(); },
            [&](FrmCounts& c) {
                QCOMPARE(tally(c), QStringList{"Nick Drake=3"});
                click(c.cmdTitle);
                QCOMPARE(tally(c), (QStringList{"Bryter Layter=1", "Pink Moon=2"}));
                click(c.cmdCategory);
                QCOMPARE(tally(c), QStringList{"Funk=3"});
            });
    }

    void eachButtonTalliesItsColumn() {
        MainWindowFixture f(collection());
        auto& w = shown(f);
        testing::whileModal<FrmCounts>(
            [&] { w.mnuCounts->trigger(); },
            [&](FrmCounts& c) {
                QCOMPARE(c.windowTitle(), QString("Counts"));
                QCOMPARE(c.Grid1->toolTip(), QString("Click a column to change the sort order."));
                QVERIFY(c.Grid1->isColumnHidden(0));
                QCOMPARE(header(c, 1), QString("Artist"));
                QCOMPARE(header(c, 2), QString("Count"));
                QCOMPARE(c.Grid1->accessibleName(), QString("Records by Artist"));
                // Counts sit to the right, as a grid aligns numbers; the values to the left.
                const QAbstractItemModel* model = c.Grid1->model();
                for (const auto& [column, side] :
                     {std::pair{1, Qt::AlignLeft}, {2, Qt::AlignRight}}) {
                    QVERIFY(model->data(model->index(0, column), Qt::TextAlignmentRole)
                                .value<Qt::Alignment>() &
                            side);
                    QVERIFY(model->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole)
                                .value<Qt::Alignment>() &
                            side);
                }
                // Every record counts, the one with no artist in a group of its own.
                QCOMPARE(tally(c), (QStringList{"=1", "abba=1", "Bowie=3", "Cale=1"}));
                click(c.cmdTitle);
                QCOMPARE(header(c, 1), QString("Title"));
                QVERIFY(tally(c).contains("Low=2"));
                QCOMPARE(tally(c).size(), 5);
                click(c.cmdCategory);  // letter case does not split a group
                QCOMPARE(tally(c), (QStringList{"=2", "Pop=1", "Rock=3"}));
                click(c.cmdFormat);
                QCOMPARE(tally(c), (QStringList{"=1", "CD=1", "LP=4"}));
                QCOMPARE(header(c, 1), QString("Format"));
                c.cmdArtist->setFocus();
                QTest::keyClick(c.cmdArtist, Qt::Key_Space);
                QCOMPARE(header(c, 1), QString("Artist"));
            });
        QVERIFY(f.desktop.messages.empty());
        QVERIFY(!f.desktop.busy);
    }

    void clicksSortDownFirstThenUpAndDown() {
        MainWindowFixture f;
        for (int i = 0; i < 10; ++i) {
            f.catalogue.insert({{"ten", "t", "Pop", "CD"}});
        }
        for (int i = 0; i < 9; ++i) {
            f.catalogue.insert({{"Nine", "t", "Pop", "CD"}});
        }
        f.catalogue.insert({{"alpha", "t", "Pop", "CD"}, {"1999", "t", "Pop", "CD"}});
        auto& w = shown(f);
        testing::whileModal<FrmCounts>(
            [&] { w.mnuCounts->trigger(); },
            [&](FrmCounts& c) {
                QVERIFY(!c.Grid1->horizontalHeader()->isSortIndicatorShown());
                clickCell(c, 0, 2);  // by count, largest first: 10 before 9, as numbers
                QCOMPARE(tally(c), (QStringList{"ten=10", "Nine=9", "1999=1", "alpha=1"}));
                QCOMPARE(c.Grid1->horizontalHeader()->sortIndicatorSection(), 2);
                QCOMPARE(c.Grid1->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
                clickCell(c, 3, 2);  // again: smallest first
                QCOMPARE(tally(c), (QStringList{"1999=1", "alpha=1", "Nine=9", "ten=10"}));
                clickHeader(c, 1);  // another column sorts down first
                QCOMPARE(tally(c), (QStringList{"ten=10", "Nine=9", "alpha=1", "1999=1"}));
                clickHeader(c, 1);  // numbers first, then text without regard to case
                QCOMPARE(tally(c), (QStringList{"1999=1", "alpha=1", "Nine=9", "ten=10"}));
                QVERIFY(!c.SortAscending);
                // From the keyboard: Space on a cell clicks it.
                c.Grid1->setFocus();
                c.Grid1->setCurrentIndex(c.Grid1->model()->index(0, 2));
                QTest::keyClick(c.Grid1, Qt::Key_Space);
                QCOMPARE(tally(c), (QStringList{"ten=10", "Nine=9", "1999=1", "alpha=1"}));
                // The current cell stays with its row and column: Space again sorts back.
                QCOMPARE(c.Grid1->currentIndex(), c.Grid1->model()->index(2, 2));  // 1999
                QTest::keyClick(c.Grid1, Qt::Key_Space);
                QCOMPARE(tally(c), (QStringList{"1999=1", "alpha=1", "Nine=9", "ten=10"}));
                QCOMPARE(c.Grid1->currentIndex(), c.Grid1->model()->index(0, 2));
            });
    }

    void escKeepsTheTallyAndClosingDiscardsIt() {
        MainWindowFixture f(collection());
        auto& w = shown(f);
        QPointer<FrmCounts> first;
        testing::whileModal<FrmCounts>([&] { w.mnuCounts->trigger(); },
                                       [&](FrmCounts& c) {
                                           first = &c;
                                           click(c.cmdFormat);
                                           clickCell(c, 0, 2);
                                           QTest::keyClick(c.Grid1, Qt::Key_Escape);
                                           QVERIFY(!c.isVisible());
                                       });
        f.catalogue.insert({{"Nico", "Chelsea Girl", "Folk", "LP"}});
        testing::whileModal<FrmCounts>(
            [&] { w.mnuCounts->trigger(); },
            [&](FrmCounts& c) {
                QCOMPARE(&c, first.data());  // the same window, not counted again
                QCOMPARE(tally(c), (QStringList{"LP=4", "=1", "CD=1"}));
                QVERIFY(c.SortAscending);
                c.close();  // the window's close button
            });
        QTRY_VERIFY(first.isNull());
        testing::whileModal<FrmCounts>(
            [&] { w.mnuCounts->trigger(); },
            [&](FrmCounts& c) {
                QCOMPARE(header(c, 1), QString("Artist"));  // counted afresh, by artist
                QVERIFY(tally(c).contains("Nico=1"));
                QVERIFY(!c.SortAscending);
            });
    }

    void emptyCatalogueOrAFailureLeaveTheHeaderOnly() {
        MainWindowFixture f;
        auto& w = shown(f);
        testing::whileModal<FrmCounts>([&] { w.mnuCounts->trigger(); },
                                       [&](FrmCounts& c) {
                                           QCOMPARE(tally(c), QStringList());
                                           QCOMPARE(header(c, 1), QString("Artist"));
                                           clickCell(c, 0, 1);  // nothing to sort: nothing happens
                                           clickHeader(c, 2);
                                           f.catalogue.insert({{"ABBA", "Arrival", "Pop", "CD"}});
                                           testing::FileLock holder(f.catalogue.path());
                                           f.desktop.answers = {Answer::Ok};
                                           click(c.cmdTitle);
                                           holder.release();
                                           QVERIFY(f.desktop.messages.back().text.endsWith(
                                               "in procedure cmdTitle_Click of Form 'FrmCounts'"));
                                           QCOMPARE(header(c, 1), QString("Title"));
                                           QCOMPARE(tally(c), QStringList());
                                           click(c.cmdTitle);
                                           QCOMPARE(tally(c), QStringList{"Arrival=1"});
                                       });
        QVERIFY(!f.desktop.busy);
    }

    // The window grows either way, the chart taking the room beside the grid; narrowed, the
    // chart goes below the grid; the height has a floor; the buttons keep to the bottom.
    void theChartGoesBesideOrBelowTheGrid() {
        MainWindowFixture f;
        f.load();
        FrmCounts counts(f.state, nullptr);
        counts.show();
        QVERIFY(QTest::qWaitForWindowExposed(&counts));
        const QSize designed = counts.size();
        const int gridWidth = counts.Grid1->width();
        counts.resize(designed.width() + 100, designed.height() + 200);
        QTRY_COMPARE(counts.size(), designed + QSize(100, 200));
        QCOMPARE(counts.Grid1->width(), gridWidth);
        QVERIFY(counts.chtCounts->geometry().left() > counts.Grid1->geometry().right());
        QCOMPARE(counts.chtCounts->geometry().right(), counts.width() - counts.Grid1->x() - 1);
        QCOMPARE(counts.chtCounts->geometry().bottom(), counts.Grid1->geometry().bottom());
        QCOMPARE(counts.cmdArtist->y(), counts.height() - app::twips(1300 - 510));
        QCOMPARE(counts.cmdFormat->y(), counts.cmdArtist->y());
        QVERIFY(counts.Grid1->geometry().bottom() < counts.cmdArtist->y());

        counts.resize(counts.minimumWidth(), designed.height());  // as narrow as the grid
        QTRY_COMPARE(counts.width(), counts.minimumWidth());
        QVERIFY(counts.chtCounts->isVisible());
        QCOMPARE(counts.chtCounts->x(), counts.Grid1->x());
        QVERIFY(counts.chtCounts->geometry().top() > counts.Grid1->geometry().bottom());
        QVERIFY(counts.chtCounts->geometry().bottom() < counts.cmdArtist->y());
        QVERIFY(counts.Grid1->geometry().right() < counts.width());

        counts.resize(counts.width(), 10);
        QTRY_VERIFY(counts.height() >= std::min(app::twips(6885 - 510), counts.minimumHeight()));
        QCOMPARE(counts.minimumHeight(), app::twips(6885 - 510));
    }

    // The chart: the 20 largest groups in the grid's order (the group of no value named as
    // the grid names it), and what the rest hold beside it; it follows the column and the
    // sort.
    void theChartShowsTheLargestGroupsInTheGridsOrder() {
        MainWindowFixture f;
        std::vector<testing::TestCatalogue::Row> rows;
        for (int group = 1; group <= 24; ++group) {  // group g holds g records
            const std::string name = "F" + std::to_string(100 + group);
            for (int i = 0; i < group; ++i) {
                rows.push_back({"A", "T", "Pop", name.c_str()});
            }
        }
        for (int i = 0; i < 30; ++i) {
            rows.push_back({"A", "T", "Pop", nullptr});
        }
        f.catalogue.insert(rows);
        auto& w = shown(f);
        testing::whileModal<FrmCounts>(
            [&] { w.mnuCounts->trigger(); },
            [&](FrmCounts& c) {
                QCOMPARE(c.chtCounts->bars().labels, QStringList{"A"});
                click(c.cmdFormat);
                // Groups 6 to 24 and the 30 of no value, in the collation's order; 1 to 5 the rest.
                QStringList labels{""};
                std::vector<std::int64_t> counts{30};
                for (int group = 6; group <= 24; ++group) {
                    labels << QString("F%1").arg(100 + group);
                    counts.push_back(group);
                }
                QCOMPARE(c.chtCounts->bars().labels, labels);
                QCOMPARE(c.chtCounts->bars().counts, counts);
                QCOMPARE(c.chtCounts->bars().otherGroups, 5);
                QCOMPARE(c.chtCounts->bars().otherRecords, 1 + 2 + 3 + 4 + 5);
                auto* others = c.chtCounts->findChild<QLabel*>("lblOthers");
                QCOMPARE(others->text(), QString("5 other formats hold 15 records"));
                QCOMPARE(c.chtCounts->accessibleName(), QString("Records by Format"));
                clickHeader(c, 2);  // by count, largest first
                QCOMPARE(c.chtCounts->bars().labels.mid(0, 3), (QStringList{"", "F124", "F123"}));
                clickHeader(c, 1);  // by name, a new column: down first
                QCOMPARE(c.chtCounts->bars().labels.mid(0, 2), (QStringList{"F124", "F123"}));
                click(c.cmdArtist);  // one group: no others
                QVERIFY(others->isHidden());
                click(c.cmdCategory);  // a new tally: Count sorts down first again
                clickHeader(c, 2);
                QCOMPARE(c.Grid1->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
            });
    }
};

QTEST_MAIN(TestCounts)
#include "tst_counts.moc"

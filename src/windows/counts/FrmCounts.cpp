#include "windows/counts/FrmCounts.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QPushButton>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "app/looks/Fonts.h"
#include "app/looks/Twips.h"
#include "catalogue/Catalogue.h"
#include "platform/ScreenFit.h"
#include "windows/controls/Grid.h"
#include "windows/controls/HelpKey.h"
#include "windows/counts/CountsChart.h"
#include "windows/counts/TallyRows.h"

namespace windows {
namespace {

using app::twips;

// The design measures the window from its outer edge; these are its client area's terms.
constexpr int FrameTwips = 510;  // caption and borders of the designed window
constexpr int ValueColumnTwips = 5470;
constexpr int CountColumnTwips = 1000;
constexpr int GridTwips = ValueColumnTwips + CountColumnTwips + 300;
constexpr int GridWidthTwips = GridTwips + 100;  // the window without its chart
constexpr int ChartTwips = 6300;
constexpr int GapTwips = 50;
constexpr int NarrowestChart = 240;  // pixels: a narrower room puts the chart below the grid
constexpr int LowestChart = 160;     // pixels: a lower room leaves the chart out
constexpr int MinimumHeightTwips = 6885 - FrameTwips;
constexpr int ButtonHeightTwips = 405;
constexpr int GridLeftTwips = 50;

}  // namespace

FrmCounts::FrmCounts(app::AppState& state, QWidget* owner) : QDialog(owner), state_(state) {
    setObjectName("FrmCounts");
    // Blocks its owner and the owner's windows, not the help viewer, a window of its own.
    setWindowModality(Qt::WindowModal);
    setWindowTitle("Counts");
    setFont(app::windowFont());
    Grid1 = new Grid(this);
    Grid1->setObjectName("Grid1");
    Grid1->setToolTip("Click a column to change the sort order.");
    chtCounts = new CountsChart(this);
    auto button = [this](const char* name, const char* caption, int left) {
        auto* control = new QPushButton(caption, this);
        control->setObjectName(name);
        control->setGeometry(twips(left), 0, twips(1275), twips(ButtonHeightTwips));
        control->setAutoDefault(false);
        return control;
    };
    cmdArtist = button("cmdArtist", "&Artist", 420);
    cmdTitle = button("cmdTitle", "&Title", 1900);
    cmdCategory = button("cmdCategory", "&Category", 3380);
    cmdFormat = button("cmdFormat", "&Format", 4860);
    connect(cmdArtist, &QPushButton::clicked, this, [this] { CountArtist(); });
    connect(cmdTitle, &QPushButton::clicked, this, [this] { cmdTitle_Click(); });
    connect(cmdCategory, &QPushButton::clicked, this, [this] { cmdCategory_Click(); });
    connect(cmdFormat, &QPushButton::clicked, this, [this] { cmdFormat_Click(); });
    connect(Grid1, &Grid::cellClicked, this, [this](int, int column) { Grid1_Click(column); });
    setTabOrder(Grid1, cmdArtist);
    setTabOrder(cmdArtist, cmdTitle);
    setTabOrder(cmdTitle, cmdCategory);
    setTabOrder(cmdCategory, cmdFormat);

    // The grid keeps its design width and the chart takes the rest beside it, or below it on
    // a narrow screen; the window may grow either way, and shrink to the screen it is on.
    const QSize room = platform::roomOnScreen(owner);
    setMinimumSize(std::min(twips(GridWidthTwips), room.width()),
                   std::min(twips(MinimumHeightTwips), room.height()));
    resize(twips(GridWidthTwips + ChartTwips + GapTwips), twips(8400));
    platform::fitOnScreen(*this);
    addHelpKey(*this, state, helptopic::Counts);
    Form_Load();
}

void FrmCounts::Form_Load() {
    SetupCountsGrid();
    SizeCountsGrid();
    CountArtist();
}

void FrmCounts::SetupCountsGrid() {
    Grid1->setColumnWidthTwips(0, 0);
    Grid1->setColumnWidthTwips(1, ValueColumnTwips);
    Grid1->setColumnWidthTwips(2, CountColumnTwips);
}

void FrmCounts::ClearCountsGrid(const QString& caption) {
    Grid1->gridModel()->setHeaders({QString(), caption, "Count"});
    Grid1->setAccessibleName("Records by " + caption);        // as a screen reader names the table
    Grid1->horizontalHeader()->setSortIndicatorShown(false);  // a new tally, in its own order
    Grid1->gridModel()->clear();
}

// The chart beside the grid where the window is wide enough, else below it where it is
// high enough, else left out.
void FrmCounts::SizeCountsGrid() {
    const int edge = twips(GridLeftTwips);
    const int buttonsTop = height() - twips(1300 - FrameTwips);
    const int height = buttonsTop - edge - twips(ButtonHeightTwips);
    const int besideLeft = edge + twips(GridTwips + GapTwips);
    const int besideWidth = width() - besideLeft - edge;
    const int gridWidth = std::min(twips(GridTwips), width() - 2 * edge);
    const int belowHeight = (height - twips(GapTwips)) * 45 / 100;
    if (besideWidth >= NarrowestChart) {
        Grid1->setGeometry(edge, edge, twips(GridTwips), height);
        chtCounts->setGeometry(besideLeft, edge, besideWidth, height);
    } else if (belowHeight >= LowestChart) {
        const int gridHeight = height - belowHeight - twips(GapTwips);
        Grid1->setGeometry(edge, edge, gridWidth, gridHeight);
        chtCounts->setGeometry(edge, edge + gridHeight + twips(GapTwips), width() - 2 * edge,
                               belowHeight);
    } else {
        Grid1->setGeometry(edge, edge, gridWidth, height);
    }
    chtCounts->setVisible(besideWidth >= NarrowestChart || belowHeight >= LowestChart);
}

void FrmCounts::Form_Resize() {
    const int buttonsTop = height() - twips(1300 - FrameTwips);
    for (QPushButton* button : {cmdArtist, cmdTitle, cmdCategory, cmdFormat}) {
        button->move(button->x(), buttonsTop);
    }
    SizeCountsGrid();
}

void FrmCounts::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void FrmCounts::CountArtist() {
    countBy("Artist", "CountArtist");
}
void FrmCounts::cmdTitle_Click() {
    countBy("Title", "cmdTitle_Click");
}
void FrmCounts::cmdCategory_Click() {
    countBy("Category", "cmdCategory_Click");
}
void FrmCounts::cmdFormat_Click() {
    countBy("Format", "cmdFormat_Click");
}

// Fills the grid with one tally. Every record counts in its group, and the records with no
// value form a group of their own, shown with an empty value. A failure leaves the header
// row and says what happened.
void FrmCounts::countBy(const char* column, const char* procedure) {
    state_.desktop.setBusyPointer(true);
    if (QString(column) == "Artist") {
        SetupCountsGrid();
    }
    ClearCountsGrid(column);
    sortedBy_ = -1;
    rows_ = nullptr;
    column_ = column;
    auto rows = std::make_unique<TallyRows>();
    try {
        db::catalogue::tally(state_.session.cnMain, column,
                             [&](std::optional<std::string_view> value, std::int64_t tally) {
                                 rows->add(value, tally);
                             });
        rows_ = rows.get();
        Grid1->gridModel()->setRows(std::move(rows));
    } catch (const db::DbError& error) {
        state_.desktop.messageBox(app::procedureMessage(error, procedure, "FrmCounts"),
                                  platform::Buttons::Ok, platform::Icon::Exclamation);
    }
    chtCounts->showTally(rows_, *Grid1->gridModel(), column_);
    state_.desktop.setBusyPointer(false);
}

// A column not sorted by yet is sorted down first (the largest counts first); a click on
// the column sorted by turns its order.
void FrmCounts::Grid1_Click(int column) {
    state_.desktop.setBusyPointer(true);
    if (column != sortedBy_) {
        SortAscending = false;
        sortedBy_ = column;
    }
    Grid1->gridModel()->sortBy(column, SortAscending);
    Grid1->showSortedBy(column, SortAscending);
    SortAscending = !SortAscending;
    chtCounts->showTally(rows_, *Grid1->gridModel(), column_);
    state_.desktop.setBusyPointer(false);
}

void FrmCounts::reject() {
    hide();  // kept, with its tally, for the next opening
}

void FrmCounts::closeEvent(QCloseEvent* event) {
    event->accept();
    hide();
    deleteLater();  // the next opening counts afresh
}

}  // namespace windows

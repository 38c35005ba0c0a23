#include "windows/browse/FrmBrowse.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "app/looks/Fonts.h"
#include "app/looks/Twips.h"
#include "catalogue/Words.h"
#include "platform/ScreenFit.h"
#include "sqlite/DbError.h"
#include "windows/browse/BrowseRows.h"
#include "windows/browse/WordFilter.h"
#include "windows/controls/Grid.h"
#include "windows/controls/HelpKey.h"
#include "windows/controls/MainRequests.h"
#include "windows/controls/WindowRole.h"

namespace windows {
namespace {

using platform::Buttons;
using platform::Icon;

constexpr int FrameTwips = 120;  // the designed window's borders, beside its client area
constexpr int FindAfterMs = 200;
constexpr int BusyAfterMs = 300;
constexpr int HeldRetryMs = 1000;  // another program holds the file: looked for again
constexpr int Gap = 6;             // pixels around the find line's controls
constexpr int MeasuredRows = 200;  // the first rows tell how wide the columns' texts run
constexpr int TwipsPerPixel = 15;

}  // namespace

FrmBrowse::FrmBrowse(app::AppState& state, MainRequests& main)
    : QWidget(&main.mainWindow(), Qt::Window), state_(state), main_(main) {
    describeAsWindow(*this);
    setObjectName("FrmBrowse");
    setWindowTitle("Browse");
    setFont(app::windowFont());
    Label1 = new QLabel("Retrieving Data...", this);
    Label1->setObjectName("Label1");
    lblFind = new QLabel("&Find:", this);
    lblFind->setObjectName("lblFind");
    txtFind = new QLineEdit(this);
    txtFind->setObjectName("txtFind");
    txtFind->setAccessibleName("Find");
    txtFind->setToolTip(
        "Words to find in any field; \"several words\" as one; "
        "artist:, title:, category: or format: before a word for that field.");
    txtFind->setClearButtonEnabled(true);
    lblFind->setBuddy(txtFind);
    txtFind->installEventFilter(this);
    lblFound = new QLabel(this);
    lblFound->setObjectName("lblFound");
    filter_ = new WordFilter(this);
    findSoon_ = new QTimer(this);
    findSoon_->setSingleShot(true);
    findSoon_->setInterval(FindAfterMs);
    connect(findSoon_, &QTimer::timeout, this, &FrmBrowse::findWords);
    connect(txtFind, &QLineEdit::textChanged, findSoon_, qOverload<>(&QTimer::start));
    connect(txtFind, &QLineEdit::textChanged, this, [this] { tookIn_ = false; });
    busySoon_ = new QTimer(this);
    busySoon_->setSingleShot(true);
    busySoon_->setInterval(BusyAfterMs);
    connect(busySoon_, &QTimer::timeout, this, [this] {
        showingBusy_ = true;
        state_.desktop.setBusyPointer(true);
    });
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        txtFind->setFocus(Qt::ShortcutFocusReason);
        txtFind->selectAll();
    });
    Grid1 = new Grid(this);
    Grid1->setObjectName("Grid1");
    setTabOrder(txtFind, Grid1);
    Grid1->setTabKeyNavigation(false);  // Tab leaves the grid for the find box; arrows move
    Grid1->setToolTip("Click a column to change the sort order.");
    connect(Grid1, &Grid::cellClicked, this, [this](int row, int column) {
        if (row < 0) {
            sortBy(column);  // a click on a column's header
        }
    });
    connect(Grid1, &Grid::cellDoubleClicked, this, [this](int row, int) { Grid1_DblClick(row); });
    resize(app::twipsSize(9375, 5235));
    move(main.mainWindow().geometry().center() -
         rect().center());  // first shown over the main window
    platform::fitOnScreen(*this);
    addHelpKey(*this, state, helptopic::Browse);
    SetupBrowseGrid();
}

void FrmBrowse::SetupBrowseGrid() {
    Grid1->gridModel()->setHeaders({QString(), "Artist", "Title", "Category", "Format"});
    const int widths[] = {0, 3000, 4000, 2000, 1000};
    for (int column = 0; column < 5; ++column) {
        Grid1->setColumnWidthTwips(column, widths[column]);
    }
}

void FrmBrowse::setRows(std::unique_ptr<BrowseRows> rows) {
    filter_->cancel();
    if (filledInSearchMode_ != state_.Modes.searching()) {  // other rows: the words typed for the
        filledInSearchMode_ = state_.Modes.searching();     // catalogue, or its results, go
        const QSignalBlocker quiet(txtFind);
        txtFind->clear();
    }
    rows->setReading(isEnabled());
    rows_ = rows.get();
    Grid1->gridModel()->setRows(std::move(rows));
    SortColumn = -1;  // in the view's order again
    Grid1->horizontalHeader()->setSortIndicatorShown(false);
    measureColumns();
    fitColumns();
    lblFound->clear();
    if (!txtFind->text().trimmed().isEmpty()) {
        findSoon_->start();  // the words still typed, over the rows as they are now
    }
}

bool FrmBrowse::findingWords() const {
    return filter_->running();
}

void FrmBrowse::findWords() {
    findSoon_->stop();
    findSoon_->setInterval(FindAfterMs);  // after a wait for the file, the typing's pause again
    lblFound->setToolTip(QString());
    auto words = db::catalogue::searchWords(txtFind->text().toStdString());
    if (words.empty() || words.size() > db::catalogue::MostSearchWords || !rows_ || !isEnabled()) {
        filter_->cancel();
        Grid1->gridModel()->showOnly(std::nullopt);
        // Something typed that names no word ("artist:", two quotes) looks for nothing.
        const bool typed = !txtFind->text().trimmed().isEmpty() && rows_ && isEnabled();
        lblFound->setText(
            !typed ? QString()
            : words.empty()
                ? QString("Nothing to look for")
                : QString("Too many words: at most %1").arg(db::catalogue::MostSearchWords));
        return;
    }
    busySoon_->start();
    GridModel* model = Grid1->gridModel();
    std::vector<std::int64_t> firstRows;
    const int walk = std::min(model->allRowCount(), int{WordFilter::FirstScreenWalk});
    for (int place = 0; place < walk; ++place) {
        firstRows.push_back(rows_->rowId(model->rowInOrder(place)));
    }
    filter_->find(
        state_.session.cnMain, std::move(words), std::move(firstRows),
        [this](std::vector<std::int64_t> ids, std::optional<db::DbError>) { showFirstFound(ids); },
        [this](std::vector<std::int64_t> ids, std::optional<db::DbError> failure) {
            busySoon_->stop();
            if (showingBusy_) {
                showingBusy_ = false;
                state_.desktop.setBusyPointer(false);
            }
            if (failure) {
                showFailure(*failure);
                return;
            }
            showFound(ids);
        });
}

// The sentence is longer than the place for the count: what does not fit is in its tip.
void FrmBrowse::showFailure(const db::DbError& failure) {
    const QString said =
        failure.busy
            ? "Another program holds the catalogue file; the search runs again as soon "
              "as it lets go."
            : "The records could not be searched: " + QString::fromStdString(failure.description);
    lblFound->setToolTip(said);
    lblFound->setText(lblFound->fontMetrics().elidedText(said, Qt::ElideRight, lblFound->width()));
    if (failure.busy) {
        findSoon_->start(HeldRetryMs);
    }
}

// The first rows at once; the count is gathered after them.
void FrmBrowse::showFirstFound(const std::vector<std::int64_t>& ids) {
    if (!rows_) {
        return;
    }
    rows_->forgetTexts();
    Grid1->gridModel()->showOnly(rows_->rowsAmong(ids));
    lblFound->setText("Counting...");
}

void FrmBrowse::showFound(const std::vector<std::int64_t>& ids) {
    if (!rows_) {
        return;
    }
    GridModel* model = Grid1->gridModel();
    rows_->forgetTexts();  // the records found are shown as they are now
    auto marks = rows_->rowsAmong(ids);
    const auto among = static_cast<std::size_t>(std::count(marks.begin(), marks.end(), 1));
    // Records another program added since the fill: the view is read again and the grid
    // filled, which searches again (once until the next key, however often it writes).
    if (among < ids.size() && !filledInSearchMode_ && !tookIn_) {
        tookIn_ = true;
        QTimer::singleShot(0, this, [this] { main_.readViewAgain(); });
    }
    model->showOnly(std::move(marks));
    lblFound->setText(QLocale().toString(model->rowCount()) + " of " +
                      app::counted(model->allRowCount(), "record", "records"));
}

void FrmBrowse::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitColumns();
    placeControls();
}

void FrmBrowse::measureColumns() {
    wantedTwips_.clear();
    for (int column = 1; column <= 4; ++column) {
        wantedTwips_.push_back(Grid1->contentWidth(column, MeasuredRows) * TwipsPerPixel);
    }
}

// The four data columns share the window's width (four even shares of it, as a grid of equal
// columns would take) as their texts want it: an artist's name is not cut while the Format
// column stands half empty.
void FrmBrowse::fitColumns() {
    const double outer = (width() + app::twips(FrameTwips)) * double(TwipsPerPixel);
    const int share = static_cast<int>(std::nearbyint((outer - 355) / 4 - 30));
    const auto widths = fitWidths(wantedTwips_, std::max(share, 0) * 4);
    for (std::size_t i = 0; i < widths.size(); ++i) {
        Grid1->setColumnWidthTwips(static_cast<int>(i) + 1, widths[i]);
    }
}

// The find line across the top, the grid below it.
void FrmBrowse::placeControls() {
    const int line = txtFind->sizeHint().height();
    const int label = lblFind->sizeHint().width();
    const int count = lblFound->fontMetrics().horizontalAdvance("0,000,000 of 0,000,000 records");
    lblFind->setGeometry(Gap, Gap, label, line);
    const int box = std::max(width() - label - count - 4 * Gap, 80);
    txtFind->setGeometry(2 * Gap + label, Gap, box, line);
    lblFound->setGeometry(3 * Gap + label + box, Gap, count, line);
    const int top = line + 2 * Gap;
    Grid1->setGeometry(0, top, width(), std::max(height() - top, 0));
    // Seen while a fill hides the grid: where the grid's first rows will be.
    const QRect retrieving = app::twipsRect(120, 240, 2535, 405);
    Label1->setGeometry(retrieving.translated(0, top));
}

// Esc hides the window (the find box's own Esc empties it first).
void FrmBrowse::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

// Esc typed into a find box with words in it empties it, every row shown again; in an empty
// box it reaches the window.
bool FrmBrowse::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtFind && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !txtFind->text().isEmpty()) {
        txtFind->clear();
        findWords();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// A window held by a run of the main window reads nothing from the catalogue meanwhile.
void FrmBrowse::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && rows_) {
        rows_->setReading(isEnabled());
        if (isEnabled()) {
            measureColumns();  // texts a held window could not read
            fitColumns();
        }
        Grid1->viewport()->update();
        if (isEnabled() && !txtFind->text().trimmed().isEmpty()) {
            findSoon_->start();  // a run held the window: the rows may be others now
        }
    }
}

void FrmBrowse::closeEvent(QCloseEvent* event) {
    event->accept();
    deleteLater();  // the next browse makes the window afresh
}

// The order comes from the catalogue's index of that column: a file held by another
// program leaves the rows as they are, and says so. A column is sorted up first, then down
// and up by turns while it is clicked again.
void FrmBrowse::sortBy(int column) {
    state_.desktop.setBusyPointer(true);
    try {
        const bool ascending = column != SortColumn || !SortAscending;
        Grid1->gridModel()->sortBy(column, ascending);
        SortColumn = column;
        SortAscending = ascending;
        Grid1->showSortedBy(column, ascending);
    } catch (const db::DbError& error) {
        state_.desktop.setBusyPointer(false);
        state_.desktop.messageBox(app::procedureMessage(error, "Grid1_Click", "FrmBrowse"),
                                  Buttons::Ok, Icon::Exclamation);
    }
    state_.desktop.setBusyPointer(false);
}

// Goes to the record of the double-clicked row. An empty grid has none: the window only
// hides. An edit of the record shown is offered for saving first, as before a move.
void FrmBrowse::Grid1_DblClick(int row) {
    if (!rows_ || row < 0 || row >= Grid1->gridModel()->rowCount()) {
        hide();
        return;
    }
    if (rows_->renumbered()) {
        return;  // the rows are another numbering's: they are being filled again
    }
    if (!main_.offerToSaveEdit()) {
        return;
    }
    main_.goToRecord(rows_->rowId(Grid1->gridModel()->sourceRow(row)));
    hide();
}

}  // namespace windows

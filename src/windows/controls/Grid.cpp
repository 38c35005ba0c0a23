#include "windows/controls/Grid.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <numeric>

#include "app/looks/Twips.h"

namespace windows {
namespace {

bool before(const SortPlace& a, const SortPlace& b) {
    if (a.number.has_value() != b.number.has_value()) {
        return a.number.has_value();
    }
    return a.number ? *a.number < *b.number : a.rank < b.rank;
}

}  // namespace

std::optional<double> readsAsNumber(std::string_view utf8) {
    // Most texts begin with a letter: refused without making a QString of them.
    const auto first = utf8.find_first_not_of(" \t\n\v\f\r");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    const auto lead = static_cast<unsigned char>(utf8[first]);
    if (lead < 0x80 && !std::isdigit(lead) && lead != '+' && lead != '-' && lead != '.') {
        return std::nullopt;
    }
    bool isNumber = false;
    const double value = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))
                             .trimmed()
                             .toDouble(&isNumber);
    return isNumber && !std::isnan(value) ? std::optional<double>(value) : std::nullopt;
}

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

void GridModel::setHeaders(const QStringList& headers) {
    beginResetModel();
    headers_ = headers;
    endResetModel();
}

void GridModel::setRows(std::unique_ptr<GridRows> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    order_.clear();
    keep_.reset();
    shown_.clear();
    endResetModel();
}

void GridModel::showOnly(std::optional<std::vector<char>> keep) {
    beginResetModel();
    keep_ = std::move(keep);
    showKept();
    endResetModel();
}

void GridModel::showKept() {
    shown_.clear();
    if (!keep_ || !rows_) {
        return;
    }
    for (int row = 0; row < rows_->rowCount(); ++row) {
        const int source = orderedRow(row);
        if (static_cast<std::size_t>(source) < keep_->size() &&
            (*keep_)[static_cast<std::size_t>(source)]) {
            shown_.push_back(source);
        }
    }
}

int GridModel::allRowCount() const {
    return rows_ ? rows_->rowCount() : 0;
}

int GridModel::orderedRow(int row) const {
    return order_.empty() ? row : order_[static_cast<std::size_t>(row)];
}

void GridModel::clear() {
    setRows(nullptr);
}

void GridModel::sortBy(int column, bool ascending) {
    if (!rows_) {
        return;
    }
    // The rows in their present order with their places side by side, so the sort reads
    // memory in sequence.
    struct Entry {
        SortPlace place;
        int row;
    };
    const std::vector<SortPlace> places = rows_->sortPlaces(column);
    std::vector<Entry> entries(places.size());
    for (std::size_t shown = 0; shown < entries.size(); ++shown) {
        const int row = orderedRow(static_cast<int>(shown));
        entries[shown] = {places[static_cast<std::size_t>(row)], row};
    }
    std::stable_sort(entries.begin(), entries.end(), [&](const Entry& x, const Entry& y) {
        return ascending ? before(x.place, y.place) : before(y.place, x.place);
    });
    std::vector<int> order(entries.size());
    std::transform(entries.begin(), entries.end(), order.begin(),
                   [](const Entry& entry) { return entry.row; });
    // A change of layout, not a reset: the current cell stays on its row and column, so
    // Space on a column sorts it again the other way.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList kept = persistentIndexList();
    std::vector<int> sources;
    for (const QModelIndex& index : kept) {
        sources.push_back(sourceRow(index.row()));
    }
    order_ = std::move(order);
    showKept();
    std::vector<int> shownAt(order_.size(), -1);
    for (int shown = 0; shown < rowCount(); ++shown) {
        shownAt[static_cast<std::size_t>(sourceRow(shown))] = shown;
    }
    QModelIndexList moved;
    for (int i = 0; i < kept.size(); ++i) {
        const int at = shownAt[static_cast<std::size_t>(sources[static_cast<std::size_t>(i)])];
        moved << (at < 0 ? QModelIndex() : this->index(at, kept[i].column()));
    }
    changePersistentIndexList(kept, moved);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int GridModel::sourceRow(int row) const {
    return keep_ ? shown_[static_cast<std::size_t>(row)] : orderedRow(row);
}

QString GridModel::cellText(int row, int column) const {
    return rows_ ? rows_->text(sourceRow(row), column) : QString();
}

int GridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !rows_) {
        return 0;
    }
    return keep_ ? static_cast<int>(shown_.size()) : rows_->rowCount();
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

namespace {

QVariant alignmentOf(const GridRows* rows, int column) {
    const bool number = rows && rows->isNumberColumn(column);
    return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
}

}  // namespace

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
        return {};  // a cell asked for that the grid does not have
    }
    if (role == Qt::TextAlignmentRole) {
        return alignmentOf(rows_.get(), index.column());
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) {
        return {};
    }
    return cellText(index.row(), index.column());
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole) {
        return alignmentOf(rows_.get(), section);
    }
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    return headers_.value(section);
}

Grid::Grid(QWidget* parent) : QTableView(parent), model_(new GridModel(this)) {
    setModel(model_);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    verticalHeader()->hide();
    // Fixed row heights: a long table is laid out without measuring its rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    connect(this, &QTableView::clicked, this,
            [this](const QModelIndex& index) { emit cellClicked(index.row(), index.column()); });
    connect(this, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        emit cellDoubleClicked(index.row(), index.column());
    });
    connect(model_, &QAbstractItemModel::modelReset, this, &Grid::applyColumnWidths);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { emit cellClicked(-1, column); });
}

void Grid::keyPressEvent(QKeyEvent* event) {
    const QModelIndex cell = currentIndex();
    const int key = event->key();
    if (cell.isValid() && event->modifiers() == Qt::NoModifier &&
        (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        if (key == Qt::Key_Space) {
            emit cellClicked(cell.row(), cell.column());
        } else {
            emit cellDoubleClicked(cell.row(), cell.column());
        }
        return;
    }
    QTableView::keyPressEvent(event);
}

int Grid::contentWidth(int column, int rows) const {
    const QFontMetrics cells(font());
    const QFontMetrics header(horizontalHeader()->font());
    const int arrowAndMargins = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin) +
                                style()->pixelMetric(QStyle::PM_HeaderMarkSize) + 8;
    int widest = header.horizontalAdvance(
                     model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString()) +
                 arrowAndMargins;
    const int cellMargins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 4);
    for (int row = 0; row < std::min(rows, model_->rowCount()); ++row) {
        widest =
            std::max(widest, cells.horizontalAdvance(model_->cellText(row, column)) + cellMargins);
    }
    return widest;
}

void Grid::showSortedBy(int column, bool ascending) {
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(column,
                                         ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

std::vector<int> fitWidths(const std::vector<int>& wanted, int total) {
    std::vector<int> widths = wanted;
    const long long sum = std::accumulate(wanted.begin(), wanted.end(), 0LL);
    if (wanted.empty() || total <= 0) {
        return std::vector<int>(wanted.size(), 0);
    }
    if (sum <= total) {  // room to spare: shared out as each wants
        long long given = 0;
        for (std::size_t i = 0; i < widths.size(); ++i) {
            const long long extra = sum > 0 ? (total - sum) * wanted[i] / sum
                                            : (total - sum) / static_cast<long long>(wanted.size());
            widths[i] = static_cast<int>(wanted[i] + extra);
            given += widths[i];
        }
        widths.back() += static_cast<int>(total - given);
        return widths;
    }
    // Too little room: the narrowest first keep what they want while it is under an even
    // share of what is left; the others share the rest.
    std::vector<std::size_t> order(wanted.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return wanted[a] < wanted[b]; });
    long long left = total;
    std::size_t place = 0;
    for (; place < order.size(); ++place) {
        const long long share = left / static_cast<long long>(order.size() - place);
        if (wanted[order[place]] > share) {
            break;
        }
        left -= wanted[order[place]];
    }
    for (std::size_t i = place; i < order.size(); ++i) {
        const long long share = left / static_cast<long long>(order.size() - i);
        widths[order[i]] = static_cast<int>(share);
        left -= share;
    }
    return widths;
}

void Grid::setColumnWidthTwips(int column, int twips) {
    if (column >= static_cast<int>(widthsTwips_.size())) {
        widthsTwips_.resize(static_cast<std::size_t>(column) + 1, -1);
    }
    widthsTwips_[static_cast<std::size_t>(column)] = twips;
    applyColumnWidths();
}

// A new set of rows or headers resets the header's sections: give them their widths again.
void Grid::applyColumnWidths() {
    for (std::size_t column = 0; column < widthsTwips_.size(); ++column) {
        const int twips = widthsTwips_[column];
        if (twips >= 0) {
            setColumnHidden(static_cast<int>(column), twips == 0);
            setColumnWidth(static_cast<int>(column), app::twips(twips));
        }
    }
}

}  // namespace windows

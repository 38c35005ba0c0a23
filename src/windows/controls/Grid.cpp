#include "windows/controls/Grid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>

#include "app/Twips.h"

namespace windows {
namespace {

// How a cell sorts: numbers first, by value; then texts, by their case-folded form.
struct SortKey {
    bool isText;
    double number;
    QString folded;
};

SortKey sortKey(const QString& text) {
    bool isNumber = false;
    const double number = text.trimmed().toDouble(&isNumber);
    if (isNumber) {
        return {false, number, {}};
    }
    return {true, 0, text.toCaseFolded()};
}

bool before(const SortKey& a, const SortKey& b) {
    if (a.isText != b.isText) {
        return !a.isText;
    }
    return a.isText ? a.folded < b.folded : a.number < b.number;
}

}  // namespace

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
    endResetModel();
}

void GridModel::clear() {
    setRows(nullptr);
}

void GridModel::sortBy(int column, bool ascending) {
    const int count = rowCount();
    std::vector<SortKey> keys;
    keys.reserve(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row) {
        keys.push_back(sortKey(rows_->text(row, column)));
    }
    std::vector<int> order = order_;
    if (order.empty()) {
        order.resize(static_cast<std::size_t>(count));
        for (int row = 0; row < count; ++row) {
            order[static_cast<std::size_t>(row)] = row;
        }
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const SortKey& x = keys[static_cast<std::size_t>(a)];
        const SortKey& y = keys[static_cast<std::size_t>(b)];
        return ascending ? before(x, y) : before(y, x);
    });
    beginResetModel();
    order_ = std::move(order);
    endResetModel();
}

int GridModel::sourceRow(int row) const {
    return order_.empty() ? row : order_[static_cast<std::size_t>(row)];
}

QString GridModel::cellText(int row, int column) const {
    return rows_ ? rows_->text(sourceRow(row), column) : QString();
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !rows_ ? 0 : rows_->rowCount();
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) {
        return {};
    }
    return cellText(index.row(), index.column());
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
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

#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace windows {

// Where a row goes when the grid sorts by one of its columns: cells that read as numbers
// first, by their value; the others by their rank in the collation's order (equal texts share
// a rank and keep their order).
struct SortPlace {
    std::optional<double> number;
    std::int64_t rank = 0;
};
// Widths for columns that would take `wanted` each, sharing `total`: all they want when it
// is enough (the rest shared out as they want it); otherwise the columns wanting less than
// an even share keep what they want, and the others share what is left evenly.
std::vector<int> fitWidths(const std::vector<int>& wanted, int total);

// The value of a text that reads as a number, blanks around it allowed ("1999", " -2.5").
std::optional<double> readsAsNumber(std::string_view utf8);

// Rows of text cells that a grid shows, kept wherever suits them: the grid reads only the
// rows in view, so a million rows cost no widgets.
class GridRows {
  public:
    virtual ~GridRows() = default;
    virtual int rowCount() const = 0;
    virtual QString text(int row, int column) const = 0;
    // Every row's place in a sort by `column`, found without reading every text.
    virtual std::vector<SortPlace> sortPlaces(int column) const = 0;
    // How a column's cells and header sit: texts to the left, numbers to the right.
    virtual bool isNumberColumn(int /*column*/) const { return false; }
};

// A table of text cells with one header row, over rows kept elsewhere, in their own order
// or sorted by a column.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit GridModel(QObject* parent);

    void setHeaders(const QStringList& headers);
    void setRows(std::unique_ptr<GridRows> rows);  // shown in their own order
    void clear();                                  // the header row only
    // Sorts all rows by a column, as their places say. Equal rows keep their order.
    void sortBy(int column, bool ascending);
    // Shows only the rows whose place in the rows given to setRows is marked in `keep` (one
    // mark a row), in the order shown; nothing shows every row again. A sort keeps it.
    void showOnly(std::optional<std::vector<char>> keep);
    // Every row, shown or not.
    int allRowCount() const;
    // The place in the rows given to setRows of the row shown at `row`.
    int sourceRow(int row) const;
    QString cellText(int row, int column) const;
    // The place in the rows given to setRows of the row at `place` in the order shown, every
    // row counted, shown or not.
    int rowInOrder(int place) const { return orderedRow(place); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    QStringList headers_;
    std::unique_ptr<GridRows> rows_;
    void showKept();
    int orderedRow(int row) const;

    std::vector<int> order_;  // empty while the rows show in their own order
    std::optional<std::vector<char>> keep_;
    std::vector<int> shown_;  // with keep_: the rows kept, in order
};

// The grid control: text cells, a header row, fixed row heights for long tables, and the
// cell the user clicks or double-clicks (a header cell counts as row -1).
class Grid : public QTableView {
    Q_OBJECT
  public:
    explicit Grid(QWidget* parent);
    GridModel* gridModel() const { return model_; }
    // Kept through every change of the rows; 0 hides the column.
    void setColumnWidthTwips(int column, int twips);
    // The width (pixels) the column's header and its first `rows` cells would take whole.
    int contentWidth(int column, int rows) const;
    // The header shows an arrow on the column sorted by, up for ascending.
    void showSortedBy(int column, bool ascending);

  signals:
    void cellClicked(int row, int column);
    void cellDoubleClicked(int row, int column);

  protected:
    // From the keyboard, Space clicks the current cell and Enter double-clicks it.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void applyColumnWidths();
    GridModel* model_;
    std::vector<int> widthsTwips_;  // -1: as the view chooses
};

}  // namespace windows

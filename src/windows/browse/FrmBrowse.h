#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>

class QLabel;

namespace app {
struct AppState;
}
namespace db {
class Recordset;
}

namespace windows {

class BrowseRows;
class FrmMain;
class Grid;

// The catalogue (or the search results) as a grid, one row per record in the order of the
// view. A double-click makes that record the main window's current one. Shown modeless;
// Esc hides it and keeps its rows; closing it discards them.
class FrmBrowse : public QWidget {
    Q_OBJECT
  public:
    FrmBrowse(app::AppState& state, FrmMain& main);

    Grid* Grid1;
    QLabel* Label1;
    bool SortAscending = false;  // the direction of the next sort by a header

    void SetupBrowseGrid();
    // Takes the rows a fill read; the grid shows them in their order.
    void setRows(std::unique_ptr<BrowseRows> rows);
    void Grid1_DblClick(int row);
    void GetMainTableData(std::int64_t rowId);
    void GetTempDBdata(std::int64_t rowId);

  protected:
    void resizeEvent(QResizeEvent* event) override;  // Form_Resize
    void keyPressEvent(QKeyEvent* event) override;   // Form_KeyDown
    void closeEvent(QCloseEvent* event) override;    // Form_Unload
    void changeEvent(QEvent* event) override;

  private:
    void sortBy(int column);
    void recordGone(db::Recordset& records);

    app::AppState& state_;
    FrmMain& main_;
    BrowseRows* rows_ = nullptr;  // owned by the grid's model
};

}  // namespace windows

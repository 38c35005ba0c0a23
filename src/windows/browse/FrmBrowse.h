#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

class QLabel;
class QLineEdit;
class QTimer;

namespace app {
struct AppState;
}
namespace db {
class DbError;
class Recordset;
}  // namespace db

namespace windows {

class BrowseRows;
class MainRequests;
class Grid;
class WordFilter;

// The catalogue (or the search results) as a grid, one row per record in the order of the
// view. A double-click makes that record the main window's current one. Shown modeless;
// Esc hides it and keeps its rows; closing it discards them. The words typed into the find
// box above the grid (Ctrl+F) show only the rows whose records hold them all, found beside
// the event loop a moment after the last key; Esc in the box empties it.
class FrmBrowse : public QWidget {
    Q_OBJECT
  public:
    FrmBrowse(app::AppState& state, MainRequests& main);

    Grid* Grid1;
    QLabel* Label1;
    QLabel* lblFind;
    QLineEdit* txtFind;
    QLabel* lblFound;  // "3 of 1,000,000 records"
    // The column the rows are sorted by (none: the view's order), and which way.
    int SortColumn = -1;
    bool SortAscending = true;

    void SetupBrowseGrid();
    // Takes the rows a fill read; the grid shows them in their order.
    void setRows(std::unique_ptr<BrowseRows> rows);
    void Grid1_DblClick(int row);
    // Shows the rows whose records hold every word in the find box (every row when it has
    // none); the answer comes a moment later.
    void findWords();
    // A search of the find line's words runs beside the window (the program's own word
    // indexing waits meanwhile, so the search is never held up by it).
    bool findingWords() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;  // Form_Resize
    void keyPressEvent(QKeyEvent* event) override;   // Form_KeyDown
    void closeEvent(QCloseEvent* event) override;    // Form_Unload
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void sortBy(int column);
    void showFailure(const db::DbError& failure);
    void showFirstFound(const std::vector<std::int64_t>& ids);
    void showFound(const std::vector<std::int64_t>& ids);
    void placeControls();
    void measureColumns();
    void fitColumns();

    app::AppState& state_;
    MainRequests& main_;
    BrowseRows* rows_ = nullptr;  // owned by the grid's model
    WordFilter* filter_;
    QTimer* findSoon_;  // the search starts a moment after the last key
    QTimer* busySoon_;  // a search that takes longer than a moment shows the busy pointer
    bool showingBusy_ = false;
    bool filledInSearchMode_ = false;  // the rows are the search's results
    bool tookIn_ = false;              // the view was read again for the words typed
    std::vector<int> wantedTwips_;     // what the four columns' texts would take whole
};

}  // namespace windows

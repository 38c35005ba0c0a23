#pragma once

#include <QDialog>

class QPushButton;

namespace app {
struct AppState;
}

namespace windows {

class CountsChart;
class Grid;
class TallyRows;

// How many records share each artist, title, category or format. Opens on the artist
// tally; a click on the grid sorts by the clicked column, descending first, then ascending
// and descending in turn.
// Esc hides the window and keeps its tally; closing it discards the tally.
class FrmCounts : public QDialog {
    Q_OBJECT
  public:
    FrmCounts(app::AppState& state, QWidget* owner);

    Grid* Grid1;
    CountsChart* chtCounts;  // the grid's tally as bars, beside it
    QPushButton* cmdArtist;
    QPushButton* cmdTitle;
    QPushButton* cmdCategory;
    QPushButton* cmdFormat;
    bool SortAscending = false;  // the direction of the next sort

    void CountArtist();
    void cmdTitle_Click();
    void cmdCategory_Click();
    void cmdFormat_Click();
    void Grid1_Click(int column);
    void SetupCountsGrid();
    void ClearCountsGrid(const QString& caption);
    void SizeCountsGrid();
    void reject() override;  // Esc hides

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void Form_Load();
    void Form_Resize();
    void countBy(const char* column, const char* procedure);

    app::AppState& state_;
    TallyRows* rows_ = nullptr;  // the tally shown, owned by the grid's model
    int sortedBy_ = -1;          // the column the tally is sorted by, if any
    QString column_;
};

}  // namespace windows

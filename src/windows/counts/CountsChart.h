#pragma once

#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <vector>

class QChart;
class QChartView;
class QLabel;

namespace windows {

class GridModel;
class TallyRows;

// The bars a tally shows: its largest groups, in the order the grid shows them; the others
// are told as numbers beside the bars, which would be dwarfed by one for them all.
struct CountsBars {
    QStringList labels;
    std::vector<std::int64_t> counts;
    std::int64_t otherGroups = 0;
    std::int64_t otherRecords = 0;
};
CountsBars countsBars(const TallyRows& rows, const GridModel& shown, int largest);

// A bar chart of the tally the counts grid shows, beside it, and under it what the other
// groups hold: drawn again whenever the grid is filled or sorted.
class CountsChart : public QWidget {
    Q_OBJECT
  public:
    static constexpr int Largest = 20;  // bars at the most; fewer when fewer fit their names

    explicit CountsChart(QWidget* parent);
    void showTally(const TallyRows* rows, const GridModel& shown, const QString& column);
    const CountsBars& bars() const { return bars_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    int barsThatFit() const;

    const TallyRows* rows_ = nullptr;  // the tally shown, the grid's
    const GridModel* shown_ = nullptr;
    QString column_;
    int largest_ = Largest;  // the bars shown at the most
    QChart* chart_;
    QChartView* view_;
    QLabel* others_;
    CountsBars bars_;
};

}  // namespace windows

#include "windows/counts/CountsChart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <numeric>

#include "app/SharedRoutines.h"
#include "windows/controls/Grid.h"
#include "windows/counts/TallyRows.h"

namespace windows {
namespace {

constexpr int LabelCharacters = 24;  // a longer name is cut, its whole text in the grid

QString shortLabel(const QString& text) {
    return text.size() <= LabelCharacters ? text : text.left(LabelCharacters - 1) + u'…';
}

}  // namespace

// The largest groups are found without sorting them all; their order is the grid's.
CountsBars countsBars(const TallyRows& rows, const GridModel& shown, int largest) {
    const int count = rows.rowCount();
    std::vector<int> top(static_cast<std::size_t>(count));
    std::iota(top.begin(), top.end(), 0);
    const bool rest = count > largest + 1;  // a single group left over is shown as itself
    if (rest) {
        std::partial_sort(top.begin(), top.begin() + largest, top.end(), [&](int a, int b) {
            return rows.tally(a) != rows.tally(b) ? rows.tally(a) > rows.tally(b) : a < b;
        });
        top.resize(static_cast<std::size_t>(largest));
    }
    std::vector<int> placeOf(static_cast<std::size_t>(count), -1);
    for (int row = 0; row < shown.rowCount(); ++row) {
        placeOf[static_cast<std::size_t>(shown.sourceRow(row))] = row;
    }
    std::sort(top.begin(), top.end(), [&](int a, int b) {
        return placeOf[static_cast<std::size_t>(a)] < placeOf[static_cast<std::size_t>(b)];
    });
    CountsBars bars;
    std::int64_t inTop = 0;
    for (const int row : top) {
        bars.labels << rows.text(row, 1);
        bars.counts.push_back(rows.tally(row));
        inTop += rows.tally(row);
    }
    if (rest) {
        std::int64_t all = 0;
        for (int row = 0; row < count; ++row) {
            all += rows.tally(row);
        }
        bars.otherGroups = count - largest;
        bars.otherRecords = all - inTop;
    }
    return bars;
}

CountsChart::CountsChart(QWidget* parent)
    : QWidget(parent), chart_(new QChart), view_(new QChartView(chart_, this)) {
    setObjectName("chtCounts");
    chart_->legend()->hide();
    chart_->setMargins(QMargins(4, 4, 4, 4));
    chart_->setBackgroundRoundness(0);
    QFont title = font();
    title.setBold(true);
    chart_->setTitleFont(title);
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setFocusPolicy(Qt::NoFocus);  // nothing to do by keys: the grid holds the numbers
    others_ = new QLabel(this);
    others_->setObjectName("lblOthers");
    others_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_, 1);
    layout->addWidget(others_);
}

namespace {

// "137 other artists hold 230 records": the groups no bar shows.
QString othersText(const CountsBars& bars, const QString& column) {
    if (bars.otherGroups == 0) {
        return {};
    }
    const QString one = column.toLower();
    const QString many = one == "category" ? "categories" : one + "s";
    return app::counted(bars.otherGroups, qPrintable("other " + one), qPrintable("other " + many)) +
           (bars.otherGroups == 1 ? " holds " : " hold ") +
           app::counted(bars.otherRecords, "record", "records");
}

}  // namespace

// As many bars as leave each its name's height (below a narrow grid there is less room).
int CountsChart::barsThatFit() const {
    constexpr int TitleAndAxis = 90;  // pixels of the chart that are not bars
    const int perBar = fontMetrics().height() + 4;
    return std::clamp((view_->height() - TitleAndAxis) / perBar, 3, Largest);
}

void CountsChart::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (rows_ && barsThatFit() != largest_) {
        showTally(rows_, *shown_, column_);
    }
}

void CountsChart::showTally(const TallyRows* rows, const GridModel& shown, const QString& column) {
    rows_ = rows;
    shown_ = &shown;
    column_ = column;
    largest_ = barsThatFit();
    bars_ = rows ? countsBars(*rows, shown, largest_) : CountsBars{};
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
    chart_->setTitle(bars_.counts.empty() ? QString() : "Records by " + column);
    setAccessibleName(chart_->title());
    others_->setText(othersText(bars_, column));
    others_->setVisible(!others_->text().isEmpty());
    if (bars_.counts.empty()) {
        return;
    }
    auto* groups = new QBarSet("Groups");
    std::int64_t most = 0;
    QStringList labels;
    // The axis runs upwards: the bars are given last first, so the grid's first row is at
    // the top.
    for (std::size_t i = bars_.counts.size(); i-- > 0;) {
        *groups << static_cast<qreal>(bars_.counts[i]);
        most = std::max(most, bars_.counts[i]);
        // Categories must differ: a name cut to the same text, or a repeated empty one,
        // gets blanks after it.
        QString label = shortLabel(bars_.labels[static_cast<qsizetype>(i)]);
        while (labels.contains(label)) {
            label += u' ';
        }
        labels << label;
    }
    auto* series = new QHorizontalBarSeries;
    series->append(groups);
    series->setBarWidth(0.8);
    chart_->addSeries(series);
    auto* names = new QBarCategoryAxis;
    names->append(labels);
    names->setTruncateLabels(false);
    names->setLabelsFont(font());
    chart_->addAxis(names, Qt::AlignLeft);
    series->attachAxis(names);
    auto* counts = new QValueAxis;
    counts->setRange(0, static_cast<qreal>(most));
    counts->setLabelFormat("%d");
    counts->applyNiceNumbers();
    counts->setLabelsFont(font());
    chart_->addAxis(counts, Qt::AlignBottom);
    series->attachAxis(counts);
    setAccessibleDescription(QString("%1 bars, the largest %2").arg(labels.size()).arg(most));
}

}  // namespace windows

// The lists' benchmarks: the counts window's tallies and its sort, and the artist list.
#include <QComboBox>
#include <QPushButton>

#include "BenchSupport.h"
#include "catalogue/Views.h"
#include "sqlite/Connection.h"
#include "windows/controls/Grid.h"
#include "windows/counts/FrmCounts.h"
#include "windows/lookup/LookupEditor.h"

namespace bench {
namespace {

const char* const Columns[] = {"Artist", "Title", "Category", "Format"};

// One tally from the click to the filled grid, against the bare grouping statement read
// to its end on the same file.
void Tally(benchmark::State& state) {
    LoadedWindow loaded(state.range(0));
    const char* column = Columns[state.range(1)];
    windows::FrmCounts counts(loaded.state, nullptr);
    QPushButton* const buttons[] = {counts.cmdArtist, counts.cmdTitle, counts.cmdCategory,
                                    counts.cmdFormat};
    const std::string key = std::string(column) + "Key";
    const std::string order = std::string(db::viewOrderedBy(column)->table);
    const std::string grouping = std::string("SELECT Main.") + column + ", count(*) FROM " + order +
                                 " JOIN Main ON Main.rowid = " + order + ".Id GROUP BY " + key +
                                 " ORDER BY " + key;
    RatioTimer timer;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        db::Statement groups(loaded.state.session.cnMain, grouping);
        std::int64_t rows = 0;
        while (groups.step()) {
            benchmark::DoNotOptimize(groups.textColumn(0));
            benchmark::DoNotOptimize(groups.integerColumn(1));
            ++rows;
        }
        const auto t1 = Clock::now();
        buttons[state.range(1)]->click();
        const auto t2 = Clock::now();
        if (counts.Grid1->gridModel()->rowCount() != rows) {
            state.SkipWithError("the grid does not hold every group");
            break;
        }
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
    state.SetLabel(column);
}

// Sorting the artist tally by its count (a click on the Count column).
void SortArtistTally(benchmark::State& state) {
    LoadedWindow loaded(state.range(0));
    windows::FrmCounts counts(loaded.state, nullptr);
    for (auto _ : state) {
        const auto t0 = Clock::now();
        counts.Grid1_Click(2);
        state.SetIterationTime(seconds(Clock::now() - t0));
    }
    state.counters["groups"] = counts.Grid1->gridModel()->rowCount();
}

// The bare work of both artist-list benchmarks: reading every name of the artist table.
std::int64_t readArtistTable(db::Connection& connection) {
    db::Statement names(connection, "SELECT Artist FROM Artist");
    std::int64_t rows = 0;
    while (names.step()) {
        benchmark::DoNotOptimize(names.textColumn(0));
        ++rows;
    }
    return rows;
}

// Opening the artist editor on a long artist list: its list is the main window's, filled
// at the start, so opening only shows it.
void OpenArtistEditor(benchmark::State& state) {
    LoadedWindow loaded(10'000, Access::ReadOnly, state.range(0));
    windows::FrmArtist* editor = loaded.window->frmArtist();
    RatioTimer timer;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const std::int64_t rows = readArtistTable(loaded.state.session.cnMain);
        const auto t1 = Clock::now();
        editor->show();
        editor->ResetForm();
        const auto t2 = Clock::now();
        if (editor->dropDown->count() != rows) {
            state.SkipWithError("the editor does not list every artist");
            break;
        }
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
}

// Filling the artist list from its table (at the start, and again after a repair).
void FillArtistList(benchmark::State& state) {
    LoadedWindow loaded(10'000, Access::ReadOnly, state.range(0));
    windows::FrmMain& window = *loaded.window;
    RatioTimer timer;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const std::int64_t rows = readArtistTable(loaded.state.session.cnMain);
        const auto t1 = Clock::now();
        window.GetArtist();
        const auto t2 = Clock::now();
        if (window.findChild<QComboBox*>("CmbArtist")->count() != rows) {
            state.SkipWithError("the list does not hold every artist");
            break;
        }
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
}

}  // namespace

BENCHMARK(Tally)
    ->ArgsProduct({{10'000, 100'000, 1'000'000}, {0, 1, 2, 3}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5);
BENCHMARK(SortArtistTally)->Apply(onCatalogueSizes)->MinTime(0.5);
BENCHMARK(OpenArtistEditor)
    ->Arg(100'000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);
BENCHMARK(FillArtistList)
    ->Arg(100'000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

}  // namespace bench

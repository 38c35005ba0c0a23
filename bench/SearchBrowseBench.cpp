// The search and browse benchmarks: a go-to search, a criteria search, opening the browse
// window and scrolling it to its end.
#include <unistd.h>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <algorithm>
#include <fstream>
#include <random>

#include "BenchSupport.h"
#include "catalogue/Catalogue.h"
#include "sqlite/Connection.h"
#include "windows/browse/FrmBrowse.h"
#include "windows/controls/Grid.h"
#include "windows/search/FrmSearch.h"

namespace bench {
namespace {

// Three-letter beginnings of the generated artists' names.
const char* const Prefixes[] = {"Blu", "Nig", "Roa", "Lov", "Riv", "Fir", "Moo", "Gol",
                                "Hea", "Tra", "Sum", "Dre", "Sto", "Rai", "Hig", "Sky"};

// A go-to search from the search window, the record shown, against the one indexed
// lookup of the first matching row.
void GotoSearch(benchmark::State& state) {
    LoadedWindow loaded(state.range(0));
    windows::FrmSearch* search = loaded.window->frmSearch();
    search->SetSearchType(true);
    const auto probe = db::catalogue::beginsWith("Artist", "x");
    db::Statement first(loaded.state.session.cnMain,
                        "SELECT Id FROM ArtistOrder WHERE " + probe.where +
                            " ORDER BY ArtistKey, TitleKey, Id LIMIT 1");
    RatioTimer timer;
    std::size_t next = 0;
    for (auto _ : state) {
        const QString prefix = Prefixes[next++ % std::size(Prefixes)];
        const auto t0 = Clock::now();
        first.bindAll(db::catalogue::beginsWith("Artist", prefix.toStdString()).params);
        benchmark::DoNotOptimize(first.step());
        first.reset();
        const auto t1 = Clock::now();
        search->txtSearchString->setText(prefix);
        search->CmdSearch_Click();
        const auto t2 = Clock::now();
        if (!loaded.window->findChild<QComboBox*>("CmbArtist")->currentText().startsWith(prefix)) {
            state.SkipWithError("the search did not land on a match");
            break;
        }
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
}

// A criteria search (artists from B to D) putting the main window into search mode, against
// the bare range query read to its end.
void CriteriaSearch(benchmark::State& state) {
    LoadedWindow loaded(state.range(0));
    windows::FrmMain& window = *loaded.window;
    windows::FrmSearch* search = window.frmSearch();
    search->optSetCriteria->setChecked(true);  // as a click on it does
    search->SetSearchType(false);
    search->txtFrom->setText("B");
    search->txtTo->setText("D");
    RatioTimer timer;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const auto match = db::catalogue::keyRange("Artist", "B", "D");
        db::Statement range(loaded.state.session.cnMain, "SELECT Id FROM ArtistOrder WHERE " +
                                                             match.where +
                                                             " ORDER BY ArtistKey, TitleKey, Id");
        range.bindAll(match.params);
        std::int64_t rows = 0;
        while (range.step()) {
            ++rows;
        }
        const auto t1 = Clock::now();
        search->CmdSearch_Click();
        const auto t2 = Clock::now();
        if (!loaded.state.Modes.searching() || loaded.state.session.rsSearch.recordCount() < rows) {
            state.SkipWithError("the search did not find the range");
            break;
        }
        timer.add(state, t0, t1, t2);
        window.CmdSearch_Click();  // reset, untimed
    }
    timer.report(state);
}

double residentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

// Opening the browse window on the whole catalogue, against the bare ordered row-id scan of
// the view; and how much memory the open window holds, and how long showing its end takes.
void OpenBrowse(benchmark::State& state) {
    LoadedWindow loaded(state.range(0));
    windows::FrmMain& window = *loaded.window;
    const double before = residentMegabytes();
    RatioTimer timer;
    double endMs = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const std::int64_t rows = scanArtistOrder(loaded.state.session.cnMain);
        const auto t1 = Clock::now();
        window.CmdBrowse_Click();
        const auto t2 = Clock::now();
        windows::Grid* grid = window.frmBrowse()->Grid1;
        if (grid->gridModel()->rowCount() != rows) {
            state.SkipWithError("the grid does not hold every record");
            break;
        }
        grid->scrollToBottom();
        grid->viewport()->repaint();
        endMs += seconds(Clock::now() - t2) * 1000;
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
    state.counters["extra_MB"] = residentMegabytes() - before;
    state.counters["end_ms"] = endMs / static_cast<double>(state.iterations());
}

// A click on a browse header over the whole catalogue (by title, the column with the most
// distinct texts, then by artist), against the bare ordered row-id scan of the Artist view.
void BrowseHeaderSort(benchmark::State& state) {
    LoadedWindow loaded(state.range(0));
    windows::FrmMain& window = *loaded.window;
    window.CmdBrowse_Click();
    windows::GridModel* grid = window.frmBrowse()->Grid1->gridModel();
    RatioTimer timer;
    double worstMs = 0;
    int column = 2;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        scanArtistOrder(loaded.state.session.cnMain);
        const auto t1 = Clock::now();
        grid->sortBy(column, true);
        const auto t2 = Clock::now();
        worstMs = std::max(worstMs, seconds(t2 - t1) * 1000);
        column = column == 2 ? 1 : 2;
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
    state.counters["worst_ms"] = worstMs;
}

}  // namespace

BENCHMARK(GotoSearch)->Apply(onCatalogueSizes)->MinTime(0.5);
BENCHMARK(CriteriaSearch)->Apply(onCatalogueSizes)->MinTime(0.5);
BENCHMARK(OpenBrowse)->Apply(onCatalogueSizes)->MinTime(1.0);
BENCHMARK(BrowseHeaderSort)->Apply(onCatalogueSizes)->MinTime(1.0);

}  // namespace bench

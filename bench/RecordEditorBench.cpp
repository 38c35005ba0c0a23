// The record editor's benchmarks: opening a view, moving, adding.
#include <QComboBox>
#include <QLineEdit>
#include <random>
#include <vector>

#include "BenchSupport.h"
#include "sqlite/Connection.h"
#include "sqlite/Recordset.h"

namespace bench {
namespace {

// Opening the Artist view and showing its first record, against the bare ordered scan.
void OpenArtistView(benchmark::State& state) {
    LoadedWindow loaded(state.range(0));
    RatioTimer timer;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(scanArtistOrder(loaded.state.session.cnMain));
        const auto t1 = Clock::now();
        loaded.window->OpenView("Artist");
        benchmark::DoNotOptimize(loaded.window->findChild<QComboBox*>("CmbArtist")->currentText());
        const auto t2 = Clock::now();
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
}

// 10 000 moves from random places with the record shown, against as many bare lookups
// of random rows by id.
void RandomMoves(benchmark::State& state) {
    constexpr int Moves = 10'000;
    LoadedWindow loaded(state.range(0));
    db::Recordset& main = loaded.state.session.rsMain;
    const std::int64_t count = main.recordCount();
    std::mt19937_64 random(42);
    std::uniform_int_distribution<std::int64_t> ordinal(1, count - 1);
    std::vector<std::int64_t> places, rowIds;
    for (int i = 0; i < Moves; ++i) {
        places.push_back(ordinal(random));
        main.setAbsolutePosition(places.back());
        rowIds.push_back(main.bookmark());
    }
    db::Statement lookup(loaded.state.session.cnMain,
                         "SELECT Artist, Title, Category, Format FROM Main WHERE rowid = ?");
    RatioTimer timer;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (const std::int64_t id : rowIds) {
            lookup.bind(1, db::Value(id));
            lookup.step();
            for (int column = 0; column < 4; ++column) {
                benchmark::DoNotOptimize(lookup.column(column));
            }
            lookup.reset();
        }
        const auto t1 = Clock::now();
        for (const std::int64_t place : places) {
            main.setAbsolutePosition(place);
            loaded.window->CmdNext_Click();
        }
        const auto t2 = Clock::now();
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
}

// 100 records entered in add mode and inserted with the Insert button, against as many
// bare single-row inserts. The time per insert stays flat as the catalogue grows: adding
// a record never rereads the catalogue.
void AddRecords(benchmark::State& state) {
    constexpr int Records = 100;
    LoadedWindow loaded(state.range(0), Access::Writable);
    windows::FrmMain& window = *loaded.window;
    db::Statement insert(loaded.state.session.cnMain,
                         "INSERT INTO Main (Artist, Title, Category, Format) VALUES (?,?,?,?)");
    window.CmdAdd_Click();  // into add mode
    RatioTimer timer;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (int i = 0; i < Records; ++i) {
            insert.bind(1, db::Value("Bench Artist"));
            insert.bind(2, db::Value("Bench Title " + std::to_string(i)));
            insert.bind(3, db::Value("Rock"));
            insert.bind(4, db::Value("CD"));
            insert.step();
            insert.reset();
        }
        const auto t1 = Clock::now();
        const std::int64_t before = loaded.state.session.rsMain.recordCount();
        for (int i = 0; i < Records; ++i) {
            window.findChild<QComboBox*>("CmbArtist")->setEditText("Bench Artist");
            window.findChild<QLineEdit*>("txtTitle")->setText(QString("Bench Title %1").arg(i));
            window.findChild<QComboBox*>("CmbCategory")->setEditText("Rock");
            window.findChild<QComboBox*>("cmbFormat")->setEditText("CD");
            window.CmdAdd_Click();
        }
        const auto t2 = Clock::now();
        if (loaded.state.session.rsMain.recordCount() != before + Records) {
            state.SkipWithError("the window did not insert every record");
            break;
        }
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
}

}  // namespace

BENCHMARK(RandomMoves)->Apply(onCatalogueSizes)->MinTime(3.0);
BENCHMARK(OpenArtistView)->Apply(onCatalogueSizes)->MinTime(1.0);
BENCHMARK(AddRecords)->Apply(onCatalogueSizes)->MinTime(1.0);

}  // namespace bench

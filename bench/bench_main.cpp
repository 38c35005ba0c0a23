// Benchmarks: each operation the user waits for, as a ratio to the bare SQLite work it
// needs, measured side by side in the same run on generated catalogues.
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <chrono>
#include <random>
#include <vector>

#include "CatalogueGenerator.h"
#include "app/AppState.h"
#include "app/SharedRoutines.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "platform/Desktop.h"
#include "windows/main/FrmMain.h"

namespace {

using Clock = std::chrono::steady_clock;

// A desktop that answers every question with its first button and never waits.
class QuietDesktop final : public platform::Desktop {
  public:
    explicit QuietDesktop(QString directory) : directory_(std::move(directory)) {}
    platform::Answer messageBox(const QString&, platform::Buttons, platform::Icon,
                                const QString&) override {
        return platform::Answer::Ok;
    }
    void beep() override {}
    void setBusyPointer(bool) override {}
    std::optional<platform::HelpFailure> showHelp(QWidget*, const QString&, int) override {
        return std::nullopt;
    }
    void openAddress(const QString&) override {}
    void playTune(const QString&) override {}
    void stopTune() override {}
    std::uint32_t tickCount() override { return 0; }
    void processEvents() override {}
    void idle(int) override {}
    QString applicationDirectory() override { return directory_; }
    std::optional<QString> windowsDirectory() override { return std::nullopt; }
    void endProgram() override {}

  private:
    QString directory_;
};

enum class Access { ReadOnly, Writable };

// The main window loaded on a generated catalogue of `records` recordings.
struct LoadedWindow {
    explicit LoadedWindow(std::int64_t records, Access access = Access::ReadOnly)
        : desktop(dir.path()), state(desktop) {
        // Generated catalogues live beside the build, in build/bench-data; one that will
        // be written to is copied, so the cached one stays as generated.
        const QString cache = QCoreApplication::applicationDirPath() + "/../bench-data";
        const QString generated =
            QString::fromStdString(bench::cachedCatalogue(cache.toStdString(), records));
        const QString catalogue = dir.filePath("Zembo.mdb");
        if (access == Access::Writable) {
            QFile::copy(generated, catalogue);
        } else {
            QFile::link(generated, catalogue);
        }
        app::SetAboutStrings(state);
        window = std::make_unique<windows::FrmMain>(state);
        window->Form_Load();
    }
    QTemporaryDir dir;
    QuietDesktop desktop;
    app::AppState state;
    std::unique_ptr<windows::FrmMain> window;
};

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Times the bare work (t0 to t1) and ours (t1 to t2) over the iterations; reports the bare
// time per iteration and ours as a multiple of it.
class RatioTimer {
  public:
    void add(benchmark::State& state, Clock::time_point t0, Clock::time_point t1,
             Clock::time_point t2) {
        bare_ += seconds(t1 - t0);
        ours_ += seconds(t2 - t1);
        state.SetIterationTime(seconds(t2 - t1));
    }
    void report(benchmark::State& state) const {
        state.counters["bare_ms"] = 1000 * bare_ / static_cast<double>(state.iterations());
        state.counters["ratio"] = ours_ / bare_;
    }

  private:
    double bare_ = 0, ours_ = 0;
};

// Opening the Artist view and showing its first record, against the bare ordered scan.
void OpenArtistView(benchmark::State& state) {
    LoadedWindow loaded(state.range(0));
    RatioTimer timer;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        db::Statement scan(loaded.state.cnMain, "SELECT rowid FROM Main ORDER BY Artist, Title");
        std::int64_t rows = 0;
        while (scan.step()) {
            ++rows;
        }
        benchmark::DoNotOptimize(rows);
        const auto t1 = Clock::now();
        loaded.window->OpenView("Artist");
        benchmark::DoNotOptimize(loaded.window->CmbArtist->currentText());
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
    db::Recordset& main = loaded.state.rsMain;
    const std::int64_t count = main.recordCount();
    std::mt19937_64 random(42);
    std::uniform_int_distribution<std::int64_t> ordinal(1, count - 1);
    std::vector<std::int64_t> places, rowIds;
    for (int i = 0; i < Moves; ++i) {
        places.push_back(ordinal(random));
        main.setAbsolutePosition(places.back());
        rowIds.push_back(main.bookmark());
    }
    db::Statement lookup(loaded.state.cnMain,
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
    db::Statement insert(loaded.state.cnMain,
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
        const std::int64_t before = loaded.state.rsMain.recordCount();
        for (int i = 0; i < Records; ++i) {
            window.CmbArtist->setEditText("Bench Artist");
            window.txtTitle->setText(QString("Bench Title %1").arg(i));
            window.CmbCategory->setEditText("Rock");
            window.cmbFormat->setEditText("CD");
            window.CmdAdd_Click();
        }
        const auto t2 = Clock::now();
        if (loaded.state.rsMain.recordCount() != before + Records) {
            state.SkipWithError("the window did not insert every record");
            break;
        }
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
}

// Every benchmark runs on the three generated catalogues and reports our own timing.
void onCatalogueSizes(benchmark::internal::Benchmark* run) {
    run->Arg(10'000)->Arg(100'000)->Arg(1'000'000);
    run->UseManualTime()->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(RandomMoves)->Apply(onCatalogueSizes)->MinTime(3.0);
BENCHMARK(OpenArtistView)->Apply(onCatalogueSizes)->MinTime(1.0);
BENCHMARK(AddRecords)->Apply(onCatalogueSizes)->MinTime(1.0);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The maintenance benchmarks: the compaction against a bare VACUUM INTO of the same file,
// the delete-all run against a bare DELETE FROM Main, the longest a key waits while the run
// goes, and how soon a stopped run gives the window back.
#include <fcntl.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <algorithm>
#include <utility>

#include "BenchSupport.h"
#include "CatalogueGenerator.h"
#include "repair/Maintenance.h"
#include "sqlite/Connection.h"

namespace bench {
namespace {

using platform::Answer;

std::string generated(std::int64_t records) {
    const QString cache = QCoreApplication::applicationDirPath() + "/../bench-data";
    return cachedCatalogue(cache.toStdString(), records);
}

void flush(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    ::fsync(fd);
    ::close(fd);
}

// The bare work of a compaction: VACUUM INTO a new file, and the file and its folder flushed.
void vacuumInto(const std::string& source, const QTemporaryDir& dir, const std::string& target) {
    db::Connection connection;
    connection.open(source);
    connection.execute("VACUUM INTO ?", {db::Value(target)});
    flush(target);
    flush(dir.path().toStdString());
}

void removeAll(const QTemporaryDir& dir, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        QFile::remove(dir.filePath(name));
    }
}

// The compaction itself: VACUUM INTO, the integrity check of the copy, the flushes.
void Compaction(benchmark::State& state) {
    const std::string source = generated(state.range(0));
    QTemporaryDir dir;
    const std::string bare = dir.filePath("bare.mdb").toStdString();
    const std::string ours = dir.filePath("ZemboREBUILT.mdb").toStdString();
    RatioTimer timer;
    for (auto _ : state) {
        removeAll(dir, {"bare.mdb", "ZemboREBUILT.mdb"});
        const auto t0 = Clock::now();
        vacuumInto(source, dir, bare);
        const auto t1 = Clock::now();
        db::maintenance::compactInto(source, ours);
        const auto t2 = Clock::now();
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
}

// The whole repair from the window: the backup copy, the compaction, the rename, the file
// opened again in the view.
void RepairCompact(benchmark::State& state) {
    RatioTimer timer;
    for (auto _ : state) {
        LoadedWindow loaded(state.range(0), Access::Writable);
        const auto t0 = Clock::now();
        vacuumInto(generated(state.range(0)), loaded.dir,
                   loaded.dir.filePath("bare.mdb").toStdString());
        const auto t1 = Clock::now();
        const bool repaired = loaded.window->RepairCompactDatabase(false);
        const auto t2 = Clock::now();
        if (!repaired) {
            state.SkipWithError("the repair failed");
        }
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
}

// The records of a writable copy deleted the bare way, in one transaction.
void deleteBare(const QTemporaryDir& dir, std::int64_t records) {
    const QString copy = dir.filePath("bare.mdb");
    QFile::copy(QString::fromStdString(generated(records)), copy);
    db::Connection connection;
    connection.open(copy.toStdString());
    db::Transaction transaction(connection);
    connection.execute("DELETE FROM Main");
    transaction.commit();
}

std::int64_t recordsIn(const QString& path) {
    db::Connection connection;
    connection.open(path.toStdString());
    db::Statement count(connection, "SELECT count(*) FROM Main");
    count.step();
    const db::Value records = count.column(0);
    return records.integer() ? *records.integer() : -1;
}

// The delete-all run, loop and commit, never stopped; also the longest a key pressed
// meanwhile waits for the window to look at events.
void DeleteAllRun(benchmark::State& state) {
    RatioTimer timer;
    double longestWait = 0;
    for (auto _ : state) {
        LoadedWindow loaded(state.range(0), Access::Writable);
        auto lastEvents = Clock::now();
        loaded.desktop.keepTime();
        loaded.desktop.onEvents = [&] {
            const auto now = Clock::now();
            longestWait = std::max(longestWait, seconds(now - lastEvents));
            QCoreApplication::processEvents();
            lastEvents = Clock::now();
        };
        const auto t0 = Clock::now();
        deleteBare(loaded.dir, state.range(0));
        const auto t1 = Clock::now();
        lastEvents = t1;
        const auto run = loaded.window->runDeleteAll();
        const auto t2 = Clock::now();
        if (run.outcome != windows::FrmMain::DeleteAllRun::Deleted ||
            recordsIn(loaded.dir.filePath("Zembo.mdb")) != 0) {
            state.SkipWithError("the records were not deleted");
        }
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
    state.counters["longest_key_wait_ms"] = 1000 * longestWait;
}

// Esc pressed at the run's first look at events (marking a million rows takes less than
// the 50 ms to the next) and the stop confirmed: the time from
// the answer to the window given back, opened again with every record.
void StopDeleteAll(benchmark::State& state) {
    for (auto _ : state) {
        LoadedWindow loaded(state.range(0), Access::Writable);
        auto& window = *loaded.window;
        Clock::time_point confirmed;
        loaded.desktop.keepTime();
        loaded.desktop.answer = [&](const QString& text) {
            if (text == "Really Cancel Delete Process?") {
                confirmed = Clock::now();
            }
            return Answer::Yes;
        };
        bool pressed = false;
        loaded.desktop.onEvents = [&] {
            if (!std::exchange(pressed, true)) {
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, "\x1b");
                QCoreApplication::sendEvent(&window, &escape);
            }
        };
        window.DeleteAllRecords();
        state.SetIterationTime(seconds(Clock::now() - confirmed));
        if (recordsIn(loaded.dir.filePath("Zembo.mdb")) != state.range(0)) {
            state.SkipWithError("records were lost");
        }
    }
}

}  // namespace

BENCHMARK(Compaction)->Apply(onCatalogueSizes);
BENCHMARK(RepairCompact)->Apply(onCatalogueSizes);
BENCHMARK(DeleteAllRun)->Apply(onCatalogueSizes);
BENCHMARK(StopDeleteAll)->Arg(1'000'000)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace bench

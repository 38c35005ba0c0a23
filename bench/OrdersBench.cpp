// The orders: making every sort key (a catalogue older than its keys, or a new collation) on
// 1 000 000 records with two artists in five not plain ASCII, how often the window hears how
// far it is, and how much the file grows; and the look at the orders each opening takes.
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "CatalogueGenerator.h"
#include "catalogue/Orders.h"
#include "sqlite/Connection.h"
#include "support/OrderChecks.h"

namespace bench {
namespace {

std::string generated(std::int64_t records) {
    const QString cache = QCoreApplication::applicationDirPath() + "/../bench-data";
    return cachedCatalogue(cache.toStdString(), records);
}

// The catalogue as it was before its sort keys: their tables and triggers gone, the
// indexes the texts had put back, compacted.
std::string withoutKeys(const std::string& keyed, const QTemporaryDir& dir) {
    const std::string bare = dir.filePath("bare.mdb").toStdString();
    const std::string compacted = dir.filePath("compacted.mdb").toStdString();
    QFile::copy(QString::fromStdString(keyed), QString::fromStdString(bare));
    db::Connection connection;
    connection.open(bare);
    connection.executeScript(testing::WithoutSortKeysSql);
    connection.execute("VACUUM INTO ?", {db::Value(compacted)});
    return compacted;
}

double sizeOf(const std::string& path) {
    return static_cast<double>(QFileInfo(QString::fromStdString(path)).size());
}

// Every key made, from `from` copied afresh each time: `change` is run first.
void timeEveryKeyMade(benchmark::State& state, const std::string& from, const char* change) {
    QTemporaryDir dir;
    const std::string copy = dir.filePath("Zembo.mdb").toStdString();
    int told = 0;
    for (auto _ : state) {
        QFile::remove(QString::fromStdString(copy));
        QFile::copy(QString::fromStdString(from), QString::fromStdString(copy));
        db::Connection connection;
        connection.open(copy);
        if (*change) {
            connection.execute(change);
        }
        told = 0;
        const auto t0 = Clock::now();
        db::catalogue::prepareOrders(connection, [&](int) { ++told; });
        state.SetIterationTime(seconds(Clock::now() - t0));
    }
    state.counters["progress_steps"] = told;
    // The file as the keys' making leaves it, against the file it was made from.
    state.counters["growth"] = sizeOf(copy) / sizeOf(from);
}

// A catalogue made before the keys, opened for the first time: every key made.
void SortKeysFirstMade(benchmark::State& state) {
    QTemporaryDir dir;
    timeEveryKeyMade(state, withoutKeys(generated(state.range(0)), dir), "");
}

// Another collation: every key made again.
void SortKeysRemake(benchmark::State& state) {
    timeEveryKeyMade(state, generated(state.range(0)),
                     "UPDATE OrderState SET Collation = 'another'");
}

// The opening of a catalogue whose orders are true: their tables, state and notes looked at,
// against the bare opening and its first and last row id read.
void OrdersCheckedAtOpening(benchmark::State& state) {
    const std::string path = generated(state.range(0));
    RatioTimer timer;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        {
            db::Connection bare;
            bare.open(path);
            bare.integerValue(
                "SELECT (SELECT min(rowid) FROM Main) + (SELECT max(rowid) FROM Main)");
        }
        const auto t1 = Clock::now();
        db::Connection connection;
        connection.open(path);
        db::catalogue::prepareOrders(connection);
        const auto t2 = Clock::now();
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
}

}  // namespace

BENCHMARK(SortKeysFirstMade)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(OrdersCheckedAtOpening)->Apply(onCatalogueSizes);
BENCHMARK(SortKeysRemake)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace bench

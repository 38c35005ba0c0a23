// Undo of an import and of one record, against the bare statements that do the same to the
// file with its orders kept: a DELETE of the import's row-id range, an INSERT of one record
// under its row id, each followed by the orders brought true, as ours are.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "CatalogueGenerator.h"
#include "app/edits/History.h"
#include "catalogue/Orders.h"

namespace bench {
namespace {

namespace catalogue = db::catalogue;

std::string copyOf(const QTemporaryDir& dir, const char* name, std::int64_t records) {
    const QString cache = QCoreApplication::applicationDirPath() + "/../bench-data";
    const QString copy = dir.filePath(name);
    QFile::remove(copy);
    QFile::copy(QString::fromStdString(cachedCatalogue(cache.toStdString(), records)), copy);
    return copy.toStdString();
}

// Every record of a generated catalogue taken as one import, then taken back.
void UndoImport(benchmark::State& state) {
    QTemporaryDir dir;
    RatioTimer timer;
    const std::int64_t records = state.range(0);
    for (auto _ : state) {
        db::Connection bare, ours;
        bare.open(copyOf(dir, "bare.mdb", records));
        ours.open(copyOf(dir, "ours.mdb", records));
        catalogue::prepareOrders(bare);
        catalogue::prepareOrders(ours);
        app::History history(ours);
        history.recordsImported(1, records);
        const auto t0 = Clock::now();
        {
            db::Transaction transaction(bare);
            bare.execute("DELETE FROM Main WHERE rowid BETWEEN ? AND ?",
                         {db::Value(std::int64_t{1}), db::Value(records)});
            transaction.commit();
        }
        catalogue::bringOrdersTrue(bare);
        const auto t1 = Clock::now();
        if (!history.undo().done) {
            state.SkipWithError("the import was not taken back");
        }
        catalogue::bringOrdersTrue(ours);
        const auto t2 = Clock::now();
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
}

// One record deleted, then put back: by the bare INSERT under its row id, and by Undo.
void UndoRecord(benchmark::State& state) {
    QTemporaryDir dir;
    db::Connection connection;
    connection.open(copyOf(dir, "one.mdb", state.range(0)));
    catalogue::prepareOrders(connection);
    app::History history(connection);
    const std::int64_t rowId = state.range(0) / 2;
    const auto record = catalogue::storedRecord(connection, rowId).value();
    const auto deleteIt = [&] {
        connection.execute("DELETE FROM Main WHERE rowid = ?", {db::Value(rowId)});
        catalogue::bringOrdersTrue(connection);
    };
    double bare = 0, ours = 0;
    for (auto _ : state) {
        deleteIt();
        history.recordDeleted(rowId, record);
        const auto t0 = Clock::now();
        connection.execute(
            "INSERT INTO Main (rowid, Artist, Title, Category, Format) VALUES (?, ?, ?, ?, ?)",
            {db::Value(rowId), record[0].value, record[1].value, record[2].value, record[3].value});
        catalogue::bringOrdersTrue(connection);
        const auto t1 = Clock::now();
        deleteIt();
        const auto t2 = Clock::now();
        if (!history.undo().done) {
            state.SkipWithError("the record was not put back");
        }
        catalogue::bringOrdersTrue(connection);
        const auto t3 = Clock::now();
        bare += seconds(t1 - t0);
        ours += seconds(t3 - t2);
        state.SetIterationTime(seconds(t3 - t2));
    }
    state.counters["bare_ms"] = 1000 * bare / static_cast<double>(state.iterations());
    state.counters["ratio"] = ours / bare;
}

}  // namespace

BENCHMARK(UndoImport)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(UndoRecord)->Arg(1'000'000)->Iterations(50)->UseManualTime();

}  // namespace bench

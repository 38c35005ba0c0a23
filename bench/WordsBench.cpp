// Finding records by the words they contain, on generated catalogues: the browse filter's
// answer (the index read and the grid's rows marked) against the bare FTS5 query on the same
// folded texts; a word too short for trigrams; and the index made for a catalogue older than
// it, against the bare INSERT ... SELECT into the same table, with the file's growth; and
// an import's records, indexed while the program is idle, and found before that.
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>

#include "BenchSupport.h"
#include "CatalogueGenerator.h"
#include "app/runs/WordsCatchUp.h"
#include "catalogue/OrderTables.h"
#include "catalogue/Orders.h"
#include "catalogue/Words.h"
#include "sqlite/Connection.h"
#include "sqlite/Recordset.h"
#include "windows/browse/BrowseRows.h"
#include "windows/browse/WordFilter.h"

namespace bench {
namespace {

namespace catalogue = db::catalogue;

std::string generated(std::int64_t records) {
    const QString cache = QCoreApplication::applicationDirPath() + "/../bench-data";
    return cachedCatalogue(cache.toStdString(), records);
}

// The grid's rows: every record's row id in the artist view's order.
std::unique_ptr<windows::BrowseRows> rowsInArtistOrder(db::Connection& connection) {
    auto grid = std::make_unique<windows::BrowseRows>(connection);
    db::Statement rows(connection, "SELECT Id FROM ArtistOrder");
    while (rows.step()) {
        grid->add(rows.integerColumn(0));
    }
    return grid;
}

// The bare work: a statement with the phrases to match bound, every row stepped through.
void runBare(db::Connection& connection, const std::string& sql, const char* match) {
    db::ReadTransaction read(connection);
    db::Statement bare(connection, sql);
    bare.bind(1, db::Value(match));
    while (bare.step()) {
    }
}

// The filter as the browse window runs it: the records found, then the grid's rows marked;
// against the bare MATCH of the same phrases.
void timeFilter(benchmark::State& state, const char* typed, const char* bareMatch) {
    db::Connection connection;
    connection.open(generated(state.range(0)));
    catalogue::prepareOrders(connection);
    const auto grid = rowsInArtistOrder(connection);
    const auto words = catalogue::searchWords(typed);
    RatioTimer timer;
    std::size_t shown = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        runBare(connection, "SELECT rowid FROM RecordWords WHERE RecordWords MATCH ?", bareMatch);
        const auto t1 = Clock::now();
        const auto ids =
            catalogue::recordsWithWords(connection, words, catalogue::IndexRead::AsItStands);
        const std::vector<char> marks = grid->rowsAmong(ids);
        shown = static_cast<std::size_t>(std::count(marks.begin(), marks.end(), 1));
        const auto t2 = Clock::now();
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
    state.counters["found"] = static_cast<double>(shown);
}

void QuickFilterOneWord(benchmark::State& state) {
    timeFilter(state, "fire", "\"fire\"");
}

void QuickFilterTwoWords(benchmark::State& state) {
    timeFilter(state, "fire jazz", "\"fire\" AND \"jazz\"");
}

// The filter's first screen, in absolute time: the first records of the artist view's order
// holding the words typed, as the browse window shows them at once; the whole answer's time
// (a word of one letter has no trigram, and waiting records are looked through) beside it.
void timeFinding(benchmark::State& state, const std::string& path, const char* typed) {
    db::Connection connection;
    connection.open(path);
    catalogue::prepareOrders(connection);
    const auto words = catalogue::searchWords(typed);
    std::vector<std::int64_t> order;
    db::Statement rows(connection, "SELECT Id FROM ArtistOrder LIMIT ?");
    rows.bind(1, db::Value(std::int64_t{windows::WordFilter::FirstScreenWalk}));
    while (rows.step()) {
        order.push_back(rows.integerColumn(0));
    }
    std::size_t shown = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        shown = catalogue::firstRecordsWithWords(connection, words, order,
                                                 windows::WordFilter::FirstScreenRecords)
                    .size();
        state.SetIterationTime(seconds(Clock::now() - t0));
    }
    const auto t0 = Clock::now();
    const auto found =
        catalogue::recordsWithWords(connection, words, catalogue::IndexRead::AsItStands).size();
    state.counters["all_ms"] = 1000 * seconds(Clock::now() - t0);
    state.counters["shown"] = static_cast<double>(shown);
    state.counters["found"] = static_cast<double>(found);
}

void QuickFilterOneLetter(benchmark::State& state) {
    timeFinding(state, generated(state.range(0)), "e");  // in most records: the most to gather
}

// Contains in the search window: the recordset of the records holding the words in the
// artist view's order, opened and counted, against the bare work it needs: the same MATCH,
// its records ordered as the view orders them.
void ContainsSearch(benchmark::State& state) {
    db::Connection connection;
    connection.open(generated(state.range(0)));
    catalogue::prepareOrders(connection);
    const auto words = catalogue::searchWords("fire jazz");
    RatioTimer timer;
    std::int64_t found = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        runBare(connection,
                "SELECT rowid FROM Main WHERE rowid IN (SELECT rowid FROM RecordWords WHERE "
                "RecordWords MATCH ?) ORDER BY " +
                    db::findView("Artist")->orderOfRows(),
                "\"fire\" AND \"jazz\"");
        const auto t1 = Clock::now();
        db::Recordset results;
        results.open(connection,
                     catalogue::mainWhere(*db::findView("Artist"), catalogue::wordMatch(words)));
        found = results.recordCount();
        const auto t2 = Clock::now();
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
    state.counters["found"] = static_cast<double>(found);
}

// The bare work of indexing: a table of the index's shape filled from Main's `texts` in one
// statement, then rolled back.
void fillBareIndex(db::Connection& connection, const std::string& texts) {
    db::Transaction transaction(connection);
    connection.execute(
        "CREATE VIRTUAL TABLE main.Bare USING fts5(Artist, Title, Category, Format, content = '', "
        "tokenize = 'trigram')");
    connection.execute(
        "INSERT INTO main.Bare (rowid, Artist, Title, Category, Format) SELECT rowid, " + texts +
        " FROM Main");
}

double sizeOf(const std::string& path) {
    return static_cast<double>(QFileInfo(QString::fromStdString(path)).size());
}

// A catalogue without its word index, compacted, is given one, as its first opening does (a
// step of records at a time); the bare work fills the same table from Main's texts unfolded
// in one statement. The growth is the file with the index against the file without.
void WordIndexFirstMade(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string without = dir.filePath("without.mdb").toStdString();
    {
        db::Connection connection;
        connection.open(generated(state.range(0)));
        connection.execute("VACUUM INTO ?", {db::Value(without)});
    }
    {
        db::Connection connection;
        connection.open(without);
        catalogue::dropWordIndex(connection, "main");
        connection.execute("VACUUM");
    }
    const std::string copy = dir.filePath("copy.mdb").toStdString();
    const std::int64_t records = state.range(0);
    RatioTimer timer;
    for (auto _ : state) {
        QFile::remove(QString::fromStdString(copy));
        QFile::copy(QString::fromStdString(without), QString::fromStdString(copy));
        db::Connection connection;
        connection.open(copy);
        const auto t0 = Clock::now();
        fillBareIndex(connection, "Artist, Title, Category, Format");
        const auto t1 = Clock::now();
        {
            db::Transaction transaction(connection);
            catalogue::makeEmptyWordIndex(connection, "main");
            for (std::int64_t from = 1; from <= records; from += catalogue::KeysPerStep) {
                catalogue::indexRecords(connection, "main", from, catalogue::KeysPerStep);
            }
            transaction.commit();
        }
        const auto t2 = Clock::now();
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
    state.counters["growth"] = sizeOf(copy) / sizeOf(without);
    // As the next repair leaves it: the pages the index's merges freed given back.
    const std::string compacted = dir.filePath("compacted.mdb").toStdString();
    {
        db::Connection connection;
        connection.open(copy);
        connection.execute("VACUUM INTO ?", {db::Value(compacted)});
    }
    state.counters["growth_compacted"] = sizeOf(compacted) / sizeOf(without);
}

// A copy of a catalogue as an import of every record leaves it: the records in their orders,
// all of them waiting for the word index.
std::string everyRecordWaiting(const QTemporaryDir& dir, std::int64_t records) {
    const std::string copy = dir.filePath("waiting.mdb").toStdString();
    QFile::remove(QString::fromStdString(copy));
    QFile::copy(QString::fromStdString(generated(records)), QString::fromStdString(copy));
    db::Connection connection;
    connection.open(copy);
    catalogue::prepareOrders(connection);
    db::Transaction transaction(connection);
    catalogue::emptyWordIndex(connection, "main");
    catalogue::leaveWordsFrom(connection, 1);
    connection.execute("UPDATE OrderState SET Stale = 0");  // the program's own write
    transaction.commit();
    return copy;
}

// After an import the waiting records are indexed while the program is idle: the catch-up
// run by its timer with nothing else to do, against the bare INSERT ... SELECT of the same
// folded texts into a table of the same shape. The wall time until the index is whole and
// the longest step the window waits through are said beside.
void WordsCaughtUpAfterImport(benchmark::State& state) {
    QTemporaryDir dir;
    RatioTimer timer;
    double wall = 0, longestStepMs = 0;
    for (auto _ : state) {
        db::Connection connection;
        connection.open(everyRecordWaiting(dir, state.range(0)));
        const auto t0 = Clock::now();
        fillBareIndex(connection,
                      "quorvane_fold(Artist), quorvane_fold(Title), quorvane_fold(Category), "
                      "quorvane_fold(Format)");
        const auto t1 = Clock::now();
        app::WordsCatchUp catchUp(connection, [] { return true; });
        catchUp.start();
        std::chrono::nanoseconds working{0};
        while (catchUp.running()) {
            const auto before = Clock::now();
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            const auto step = Clock::now() - before;
            longestStepMs = std::max(longestStepMs, seconds(step) * 1000);
            working += step;
        }
        const auto t2 = Clock::now();
        wall = seconds(t2 - t1);
        if (catalogue::wordsWaitFrom(connection, "main") || !catalogue::ordersAgree(connection)) {
            state.SkipWithError("the waiting records were not all indexed");
        }
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
    state.counters["wall_s"] = wall;
    state.counters["longest_step_ms"] = longestStepMs;
}

// The browse filter right after an import of every record: found in their texts, in
// absolute time, until the catch-up has indexed them.
void QuickFilterWordsWaiting(benchmark::State& state) {
    QTemporaryDir dir;
    timeFinding(state, everyRecordWaiting(dir, state.range(0)), "fire");
}

}  // namespace

BENCHMARK(QuickFilterOneWord)->Apply(onCatalogueSizes);
BENCHMARK(QuickFilterTwoWords)->Apply(onCatalogueSizes);
BENCHMARK(QuickFilterOneLetter)->Apply(onCatalogueSizes);
BENCHMARK(ContainsSearch)->Apply(onCatalogueSizes);
BENCHMARK(QuickFilterWordsWaiting)->Apply(onCatalogueSizes);
BENCHMARK(WordsCaughtUpAfterImport)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(WordIndexFirstMade)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace bench

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QFile>

#include "CatalogueGenerator.h"
#include "app/SharedRoutines.h"

namespace bench {

LoadedWindow::LoadedWindow(std::int64_t records, Access access, std::int64_t artists)
    : desktop(dir.path()), state(desktop) {
    // Generated catalogues live beside the build, in build/bench-data; one that will be
    // written to is copied, so the cached one stays as generated.
    const QString cache = QCoreApplication::applicationDirPath() + "/../bench-data";
    const QString generated =
        QString::fromStdString(cachedCatalogue(cache.toStdString(), records, artists));
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

std::int64_t scanArtistOrder(db::Connection& connection) {
    db::Statement scan(connection, "SELECT Id FROM ArtistOrder ORDER BY ArtistKey, TitleKey, Id");
    std::int64_t rows = 0;
    while (scan.step()) {
        ++rows;
    }
    return rows;
}

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

void RatioTimer::add(benchmark::State& state, Clock::time_point t0, Clock::time_point t1,
                     Clock::time_point t2) {
    bare_ += seconds(t1 - t0);
    ours_ += seconds(t2 - t1);
    state.SetIterationTime(seconds(t2 - t1));
}

void RatioTimer::report(benchmark::State& state) const {
    state.counters["bare_ms"] = 1000 * bare_ / static_cast<double>(state.iterations());
    state.counters["ratio"] = ours_ / bare_;
}

void onCatalogueSizes(benchmark::internal::Benchmark* run) {
    run->Arg(10'000)->Arg(100'000)->Arg(1'000'000);
    run->UseManualTime()->Unit(benchmark::kMillisecond);
}

}  // namespace bench

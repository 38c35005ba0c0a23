// The reports' benchmarks: the full report written as PDF against bare painting of the same
// lines, and the time to a preview's first page.
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "CatalogueGenerator.h"
#include "reports/Painting.h"
#include "reports/Report.h"

namespace bench {
namespace {

QString catalogueOf(std::int64_t records) {
    const QString cache = QCoreApplication::applicationDirPath() + "/../bench-data";
    return QString::fromStdString(cachedCatalogue(cache.toStdString(), records));
}

reports::ReportSettings fullReport() {
    reports::ReportSettings settings;
    settings.reportFile = QCoreApplication::applicationDirPath() + "/Zembo1.rpt";
    settings.sortFields = {"+{Main.Artist}", "+{Main.Title}", ""};
    settings.formulas = {"TxtTitle = 'View by Artist'"};
    return settings;
}

// The bare work: the same records read in the same order and their four texts painted a
// line each onto a PDF writer, fifty lines a page.
void paintBare(db::Connection& connection, const QString& path) {
    QPdfWriter pdf(path);
    pdf.setResolution(600);
    QPainter painter(&pdf);
    painter.setFont(reports::reportFont(9));
    const double dots = pdf.logicalDpiY() / 72.0;
    db::Statement rows(
        connection,
        "SELECT Artist, Title, Category, Format FROM ArtistOrder JOIN Main ON Main.rowid = Id "
        "ORDER BY ArtistKey, TitleKey, Id");
    int line = 0;
    while (rows.step()) {
        if (line == 60) {
            pdf.newPage();
            line = 0;
        }
        const double y = (60 + line * 12) * dots;
        for (int column = 0; column < 4; ++column) {
            const auto text = rows.textColumn(column);
            painter.drawText(
                QPointF((48 + column * 125) * dots, y),
                text ? QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size()))
                     : QString());
        }
        ++line;
    }
}

void ReportToPdf(benchmark::State& state) {
    db::Connection connection;
    connection.open(catalogueOf(state.range(0)).toStdString());
    QTemporaryDir dir;
    RatioTimer timer;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        paintBare(connection, dir.filePath("bare.pdf"));
        const auto t1 = Clock::now();
        auto report = reports::makeReport(connection, fullReport(), QDate(2026, 12, 7));
        reports::writePdf(*report, dir.filePath("report.pdf"), nullptr);
        const auto t2 = Clock::now();
        timer.add(state, t0, t1, t2);
    }
    timer.report(state);
    state.counters["us_per_record"] = benchmark::Counter(
        static_cast<double>(state.range(0)),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// From the command to the first page of a preview on the screen: the report made and its
// first page painted.
void PreviewFirstPage(benchmark::State& state) {
    db::Connection connection;
    connection.open(catalogueOf(state.range(0)).toStdString());
    for (auto _ : state) {
        const auto t0 = Clock::now();
        auto report = reports::makeReport(connection, fullReport(), QDate(2026, 12, 7));
        QImage paper(794, 1123, QImage::Format_RGB32);
        paper.fill(Qt::white);
        QPainter painter(&paper);
        reports::paintPage(painter, report->page(0), 96.0 / 72);
        state.SetIterationTime(seconds(Clock::now() - t0));
    }
}

}  // namespace

BENCHMARK(ReportToPdf)->Arg(20'000)->Arg(200'000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(PreviewFirstPage)->Arg(1'000'000)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace bench

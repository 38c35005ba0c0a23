// How long the windows go unpainted during the long commands: the main window is shown and
// asked to repaint every 10 ms (as a window dragged across it would ask), and the longest
// time between two of its paints is measured from the command's start to its end.
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <algorithm>

#include <QLineEdit>

#include "BenchSupport.h"
#include "windows/browse/FrmBrowse.h"
#include "windows/controls/Grid.h"
#include "windows/transfer/FrmImport.h"

namespace bench {
namespace {

class PaintWatch : public QObject {
  public:
    explicit PaintWatch(QWidget& window) : window_(window) {
        window_.installEventFilter(this);
        connect(&ask_, &QTimer::timeout, &window_, [this] { window_.update(); });
    }
    void start() {
        clock_.start();
        last_ = 0;
        longest_ = 0;
        ask_.start(10);
    }
    // The longest gap in milliseconds, the one up to now included.
    double stop() {
        ask_.stop();
        note();
        return static_cast<double>(longest_);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Paint && clock_.isValid()) {
            note();
        }
        return false;
    }

  private:
    void note() {
        const qint64 now = clock_.elapsed();
        longest_ = std::max(longest_, now - last_);
        last_ = now;
    }

    QWidget& window_;
    QTimer ask_;
    QElapsedTimer clock_;
    qint64 last_ = 0, longest_ = 0;
};

// The main window shown on a writable copy of a generated catalogue, with the toolkit's
// events let run wherever the program lets them run.
struct ShownWindow {
    explicit ShownWindow(std::int64_t records) : loaded(records, Access::Writable) {
        loaded.desktop.onEvents = [] { QCoreApplication::processEvents(); };
        loaded.desktop.fileName = loaded.dir.filePath("out");
        loaded.window->show();
        for (int i = 0; i < 10; ++i) {
            QCoreApplication::processEvents();
        }
    }
    LoadedWindow loaded;
};

std::int64_t recordsIn(ShownWindow& shown) {
    return shown.loaded.state.session.cnMain.integerValue("SELECT count(*) FROM Main");
}

void measure(benchmark::State& state, const std::function<void(ShownWindow&)>& command) {
    double longest = 0;
    for (auto _ : state) {
        ShownWindow shown(state.range(0));
        PaintWatch watch(*shown.loaded.window);
        const auto t0 = Clock::now();
        watch.start();
        command(shown);
        longest = std::max(longest, watch.stop());
        state.SetIterationTime(seconds(Clock::now() - t0));
    }
    state.counters["longest_gap_ms"] = longest;
}

void PaintGapExport(benchmark::State& state) {
    measure(state, [](ShownWindow& shown) { shown.loaded.window->mnuFileExport_Click(); });
}

void PaintGapRepair(benchmark::State& state) {
    measure(state, [](ShownWindow& shown) {
        shown.loaded.desktop.answer = [](const QString&) { return platform::Answer::Yes; };
        shown.loaded.window->RepairCompactDatabase(true);
    });
}

void PaintGapDeleteAll(benchmark::State& state) {
    measure(state, [](ShownWindow& shown) {
        shown.loaded.desktop.answer = [](const QString&) { return platform::Answer::Yes; };
        shown.loaded.window->DeleteAllRecords();
    });
}

// The full report saved as PDF (no printer is installed: the PDF is offered and taken).
void PaintGapReportPdf(benchmark::State& state) {
    measure(state, [](ShownWindow& shown) {
        QFile::copy(QCoreApplication::applicationDirPath() + "/Zembo1.rpt",
                    shown.loaded.dir.filePath("Zembo1.rpt"));
        shown.loaded.desktop.answer = [](const QString&) { return platform::Answer::Yes; };
        shown.loaded.window->mnuReportPrintToScreen_Click();  // to the printer
        shown.loaded.window->mnuReportFullReport_Click();
    });
}

// Words typed into the browse window's find line, a key every 120 ms as a quick typist
// types, over the whole catalogue in the grid: the browse window's longest unpainted time from
// the first key until a second after the last.
void PaintGapTypingInFind(benchmark::State& state) {
    double longest = 0;
    const auto runEventsFor = [](int milliseconds) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < milliseconds) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
    };
    for (auto _ : state) {
        ShownWindow shown(state.range(0));
        shown.loaded.window->CmdBrowse_Click();
        windows::FrmBrowse& browse = *shown.loaded.window->frmBrowse();
        runEventsFor(200);
        PaintWatch watch(browse);
        const auto t0 = Clock::now();
        watch.start();
        const QString typed = "fire jazz";
        for (qsizetype keys = 1; keys <= typed.size(); ++keys) {
            browse.txtFind->setText(typed.left(keys));
            runEventsFor(120);
        }
        runEventsFor(1000);
        longest = std::max(longest, watch.stop());
        state.SetIterationTime(seconds(Clock::now() - t0));
        state.counters["found"] = browse.Grid1->gridModel()->rowCount();
    }
    state.counters["longest_gap_ms"] = longest;
}

// The import's preview, accepted or closed as soon as it shows, looked for by `timer`.
void answerPreviewWhenShown(QTimer& timer, bool accepted) {
    QObject::connect(&timer, &QTimer::timeout, [accepted] {
        if (auto* preview = qobject_cast<windows::FrmImport*>(QApplication::activeModalWidget())) {
            accepted ? preview->accept() : preview->reject();
        }
    });
    timer.start(20);
}

// File > Import Music Folder up to its preview, closed as soon as it shows.
void PaintGapMusicFolder(benchmark::State& state) {
    const QString folder = generatedMusicFolder();
    measure(state, [&](ShownWindow& shown) {
        QTimer closer;
        answerPreviewWhenShown(closer, false);
        shown.loaded.desktop.fileName = folder;
        shown.loaded.window->mnuFileImportMusic_Click();
    });
}

// File > Import Records of a million rows into a catalogue of a thousand, as the user waits
// through the reading, the preview (accepted as soon as it shows) and the import.
void PaintGapImport(benchmark::State& state) {
    const QString csv = generatedCsv(state.range(0));
    double longest = 0;
    for (auto _ : state) {
        ShownWindow shown(1000);
        PaintWatch watch(*shown.loaded.window);
        QTimer accepter;
        answerPreviewWhenShown(accepter, true);
        shown.loaded.desktop.fileName = csv;
        shown.loaded.desktop.answer = [](const QString&) { return platform::Answer::No; };
        const auto t0 = Clock::now();
        watch.start();
        shown.loaded.window->mnuFileImport_Click();
        longest = std::max(longest, watch.stop());
        state.SetIterationTime(seconds(Clock::now() - t0));
        if (recordsIn(shown) < state.range(0)) {
            state.SkipWithError("the records were not imported");
        }
    }
    state.counters["longest_gap_ms"] = longest;
}

// Edit > Undo of such an import, then Edit > Redo: each a long write beside the windows.
void PaintGapUndoImport(benchmark::State& state) {
    const QString csv = generatedCsv(state.range(0));
    double longest = 0;
    for (auto _ : state) {
        ShownWindow shown(1000);
        {
            QTimer accepter;
            answerPreviewWhenShown(accepter, true);
            shown.loaded.desktop.fileName = csv;
            shown.loaded.desktop.answer = [](const QString&) { return platform::Answer::No; };
            shown.loaded.window->mnuFileImport_Click();
        }
        const std::int64_t imported = recordsIn(shown);
        shown.loaded.desktop.answer = [](const QString&) { return platform::Answer::Yes; };
        PaintWatch watch(*shown.loaded.window);
        const auto t0 = Clock::now();
        watch.start();
        shown.loaded.window->mnuEditUndo_Click();
        const std::int64_t undone = recordsIn(shown);
        shown.loaded.window->mnuEditRedo_Click();
        longest = std::max(longest, watch.stop());
        state.SetIterationTime(seconds(Clock::now() - t0));
        if (imported < state.range(0) || undone != 1000 || recordsIn(shown) != imported) {
            state.SkipWithError("the import was not taken back and made again");
        }
    }
    state.counters["longest_gap_ms"] = longest;
}

}  // namespace

BENCHMARK(PaintGapImport)
    ->Arg(1'000'000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PaintGapUndoImport)
    ->Arg(1'000'000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PaintGapMusicFolder)
    ->Arg(10'000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PaintGapTypingInFind)
    ->Arg(1'000'000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PaintGapExport)
    ->Arg(1'000'000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PaintGapRepair)
    ->Arg(1'000'000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PaintGapDeleteAll)
    ->Arg(1'000'000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PaintGapReportPdf)
    ->Arg(200'000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace bench

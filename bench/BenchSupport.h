#pragma once

// What the benchmarks share: a quiet desktop, the main window loaded on a generated
// catalogue, and the timer that reports our time as a ratio to the bare SQLite work.
#include <benchmark/benchmark.h>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <chrono>
#include <functional>
#include <memory>

#include "app/AppState.h"
#include "platform/Desktop.h"
#include "windows/main/FrmMain.h"

namespace bench {

using Clock = std::chrono::steady_clock;

// A desktop that answers every question with Ok and never waits, unless told to answer
// otherwise, to keep time or to run something where events would run.
class QuietDesktop final : public platform::Desktop {
  public:
    explicit QuietDesktop(QString directory) : directory_(std::move(directory)) {}
    std::function<platform::Answer(const QString& text)> answer;
    std::function<void()> onEvents;
    void keepTime() { clock_.start(); }

    platform::Answer messageBox(const QString& text, platform::Buttons, platform::Icon,
                                const QString&) override {
        return answer ? answer(text) : platform::Answer::Ok;
    }
    void beep() override {}
    void setBusyPointer(bool) override {}
    std::optional<platform::HelpFailure> showHelp(QWidget*, const QString&, int) override {
        return std::nullopt;
    }
    void openAddress(const QString&) override {}
    bool printerInstalled() override { return false; }
    bool choosePrinter(QWidget*, QPrinter&) override { return false; }
    QString fileName;  // what the file dialogs answer
    QString chooseSaveFile(QWidget*, const QString&, const QString&, const QString&) override {
        return fileName;
    }
    QString chooseOpenFile(QWidget*, const QString&, const QString&, const QString&) override {
        return fileName;
    }
    QString chooseFolder(QWidget*, const QString&, const QString&) override { return fileName; }
    void playTune(const QString&) override {}
    void stopTune() override {}
    std::unique_ptr<platform::Alarm> makeAlarm(std::function<void()>) override {
        struct Silent final : platform::Alarm {
            void start(int) override {}
            void stop() override {}
        };
        return std::make_unique<Silent>();
    }
    std::uint32_t tickCount() override {
        return clock_.isValid() ? static_cast<std::uint32_t>(clock_.elapsed()) : 0;
    }
    void processEvents() override {
        if (onEvents) {
            onEvents();
        }
    }
    void idle(int) override {}
    QString applicationDirectory() override { return directory_; }
    void endProgram() override {}

  private:
    QString directory_;
    QElapsedTimer clock_;
};

enum class Access { ReadOnly, Writable };

// The main window loaded on a generated catalogue of `records` recordings (and, when asked,
// as many artists in the artist list).
struct LoadedWindow {
    explicit LoadedWindow(std::int64_t records, Access access = Access::ReadOnly,
                          std::int64_t artists = 0);
    QTemporaryDir dir;
    QuietDesktop desktop;
    app::AppState state;
    std::unique_ptr<windows::FrmMain> window;
};

// A folder of 10,000 MP3 tracks in 1,000 albums, made once beside the generated catalogues.
QString generatedMusicFolder();
// The generated catalogue's records as a CSV file, written once by the program's export.
QString generatedCsv(std::int64_t records);

double seconds(Clock::duration d);

// The bare work of opening the Artist view: its row ids read in order. Returns how many.
std::int64_t scanArtistOrder(db::Connection& connection);

// Times the bare work (t0 to t1) and ours (t1 to t2) over the iterations; reports the bare
// time per iteration and ours as a multiple of it.
class RatioTimer {
  public:
    void add(benchmark::State& state, Clock::time_point t0, Clock::time_point t1,
             Clock::time_point t2);
    void report(benchmark::State& state) const;

  private:
    double bare_ = 0, ours_ = 0;
};

// Runs a benchmark on the three generated catalogues, timed by hand, in milliseconds.
void onCatalogueSizes(benchmark::internal::Benchmark* run);

}  // namespace bench

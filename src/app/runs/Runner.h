#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <future>
#include <utility>

#include "app/Modes.h"
#include "app/runs/RunProgress.h"
#include "platform/Desktop.h"

namespace app {

// The windows' side of a run: how they hold still while it lasts, and how they show it.
class RunWindows {
  public:
    virtual ~RunWindows() = default;
    // Every window takes no input but Esc, so nothing moves what the run walks; and back.
    virtual void hold() = 0;
    virtual void release() = 0;
    // The bar over the status line with its caption ("%p%" stands for the share), its share,
    // and the caption it shows (empty: no bar), so a run inside another gives it back.
    virtual void showBar(const QString& caption) = 0;
    virtual void showShare(int percent) = 0;
    virtual QString barCaption() const = 0;
    virtual void hideBar() = 0;
    // Asks the user whether to stop: true to stop.
    virtual bool userStops(const QString& question, const QString& title) = 0;
    // The window was asked to close during the runs, which have all ended: it closes now.
    virtual void closeAfterRuns() = 0;
};

// How one run shows itself and whether it can be stopped.
struct RunPlan {
    enum class Stop { Never, AtOnce, Asked };
    QString caption;  // on the bar; "%p%" stands for the share
    Stop stop = Stop::Never;
    QString question;  // with Stop::Asked: asked at Esc, under this title
    QString title;
    bool shareKnown = true;  // false: the bar, with its caption alone, only after a moment

    static RunPlan steady(const QString& caption) { return {caption, Stop::Never, {}, {}, true}; }
    static RunPlan asking(const QString& caption, const QString& question,
                          const QString& title = {}) {
        return {caption, Stop::Asked, question, title, true};
    }
    static RunPlan stoppedByEsc(const QString& caption) {
        return {caption, Stop::AtOnce, {}, {}, true};
    }
    static RunPlan unknownShare(const QString& caption) {
        return {caption, Stop::Never, {}, {}, false};
    }
};

// Every long run of the windows goes through here: its works on a thread of their own while
// the windows' thread lets events run, the other windows held, the bar and the busy pointer
// shown, Esc heard, and a close asked for meanwhile done once the last run ends. Runs nest
// (the compaction that ends a delete-all): the outer one holds the windows.
class Runner {
  public:
    Runner(platform::Desktop& desktop, RunWindows& windows, ModeMachine& modes)
        : desktop_(desktop), windows_(windows), modes_(modes) {}
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    class Run;
    // One work as one run: `work(RunProgress&)` beside the windows; returns what it returns,
    // throws what it throws.
    template <typename Work>
    auto run(const RunPlan& plan, Work&& work);

    bool running() const { return current_ != nullptr; }
    // Esc during a run: a run that can stop stops, asking first when its plan says so.
    void escape();
    // The window asked to close during a run: as Esc, then closed after the runs, unless the
    // user chose not to stop a run that can.
    void closeRequested();

  private:
    friend class Run;
    platform::Desktop& desktop_;
    RunWindows& windows_;
    ModeMachine& modes_;
    Run* current_ = nullptr;
    bool closeAfter_ = false;
};

// A run while it lives: the windows held and the bar shown from its making to its end. Its
// works go beside the windows one at a time; the windows' thread may do short steps between.
class Runner::Run {
  public:
    Run(Runner& runner, RunPlan plan);
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    // Runs `work(RunProgress&)` on a thread of its own while events run every 20 ms or so; it
    // must touch nothing the windows' thread uses meanwhile.
    template <typename Work>
    auto beside(Work&& work);
    // The user chose to stop (asked now when Esc came after the work's last report).
    bool stopped();
    // A step on the windows' thread between works.
    void showShare(int percent) { runner_.windows_.showShare(percent); }

  private:
    friend class Runner;
    void turn(RunProgress& progress);
    void escape() { escaped_ = true; }
    bool askToStop();

    Runner& runner_;
    RunPlan plan_;
    Run* outer_;
    QString outerBar_;
    bool barShown_ = false;
    bool escaped_ = false;
    bool stopChosen_ = false;
    int shownShare_ = -1;
    std::uint32_t started_;
};

template <typename Work>
auto Runner::Run::beside(Work&& work) {
    constexpr auto Turn = std::chrono::milliseconds(20);
    RunProgress progress;
    auto done = std::async(std::launch::async, [&] {
        struct Finish {
            RunProgress& progress;
            ~Finish() { progress.finish(); }
        } finish{progress};
        return work(progress);
    });
    while (done.wait_for(Turn) != std::future_status::ready) {
        runner_.desktop_.processEvents();  // a key pressed now is answered in this same turn
        turn(progress);
    }
    if (progress.stopping()) {
        stopChosen_ = true;
    } else if (progress.percent() >= 100) {
        escaped_ = false;  // past the point where it could stop: nothing to ask
    }
    return done.get();
}

template <typename Work>
auto Runner::run(const RunPlan& plan, Work&& work) {
    Run run(*this, plan);
    return run.beside(std::forward<Work>(work));
}

}  // namespace app

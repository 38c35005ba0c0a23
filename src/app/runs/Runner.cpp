#include "app/runs/Runner.h"

namespace app {
namespace {

constexpr std::uint32_t CaptionAfterMs = 300;  // a run of unknown length says itself so late

}  // namespace

void Runner::escape() {
    if (current_ && current_->plan_.stop != RunPlan::Stop::Never) {
        current_->escape();
    }
}

void Runner::closeRequested() {
    if (!current_) {
        return;
    }
    closeAfter_ = true;
    escape();
}

Runner::Run::Run(Runner& runner, RunPlan plan)
    : runner_(runner),
      plan_(std::move(plan)),
      outer_(runner.current_),
      started_(runner.desktop_.tickCount()) {
    runner_.current_ = this;
    runner_.modes_.beginRun();
    if (!outer_) {
        runner_.windows_.hold();
    }
    runner_.desktop_.setBusyPointer(true);
    outerBar_ = runner_.windows_.barCaption();
    if (plan_.shareKnown && !plan_.caption.isEmpty()) {
        runner_.windows_.showBar(plan_.caption);
        barShown_ = true;
    }
}

Runner::Run::~Run() {
    if (barShown_) {
        outerBar_.isEmpty() ? runner_.windows_.hideBar() : runner_.windows_.showBar(outerBar_);
    }
    if (!outer_) {
        runner_.desktop_.setBusyPointer(false);
    }
    runner_.current_ = outer_;
    if (!outer_) {
        runner_.windows_.release();
    }
    runner_.modes_.endRun();
    if (!outer_ && runner_.closeAfter_) {
        runner_.closeAfter_ = false;
        runner_.windows_.closeAfterRuns();
    }
}

bool Runner::Run::stopped() {
    if (escaped_ && !stopChosen_) {
        escaped_ = false;
        stopChosen_ = askToStop();
    }
    return stopChosen_;
}

// Asked on the windows' thread; a close asked for meanwhile waits only for a stop chosen.
bool Runner::Run::askToStop() {
    const bool stop = plan_.stop == RunPlan::Stop::AtOnce ||
                      runner_.windows_.userStops(plan_.question, plan_.title);
    if (!stop) {
        runner_.closeAfter_ = false;
    }
    return stop;
}

void Runner::Run::turn(RunProgress& progress) {
    progress.passStep([this](int percent) {
        runner_.windows_.showShare(percent);
        shownShare_ = percent;
    });
    if (const auto caption = progress.takeCaption()) {
        runner_.windows_.showBar(*caption);
        barShown_ = true;
    } else if (!barShown_ && !plan_.caption.isEmpty() &&
               runner_.desktop_.tickCount() - started_ >= CaptionAfterMs) {
        runner_.windows_.showBar(plan_.caption);
        barShown_ = true;
    }
    if (plan_.shareKnown && progress.percent() != shownShare_) {
        shownShare_ = progress.percent();
        runner_.windows_.showShare(shownShare_);
    }
    if (escaped_) {
        escaped_ = false;
        if (progress.percent() < 100 && !progress.stopping()) {  // a stop chosen is not asked again
            progress.ask([this] { return askToStop(); });
        }
    }
    progress.turnDone();
}

}  // namespace app

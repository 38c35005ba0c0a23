#include "app/runs/WordsCatchUp.h"

#include <algorithm>
#include <chrono>

#include "catalogue/Words.h"
#include "sqlite/DbError.h"

namespace app {
namespace {

using Clock = std::chrono::steady_clock;

// A step holds the window about this long (the index's merges make some take three times
// as long); between steps the events waiting run.
constexpr std::chrono::milliseconds StepTime{20};
constexpr int BetweenStepsMs = 0;
constexpr int WhileBusyMs = 250;   // a run or a dialog has the connection
constexpr int WhileHeldMs = 2000;  // another program holds the file
constexpr std::int64_t FirstStep = 1000;

}  // namespace

WordsCatchUp::WordsCatchUp(db::Connection& connection, std::function<bool()> mayWork)
    : connection_(connection), mayWork_(std::move(mayWork)), perStep_(FirstStep) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] { step(); });
}

void WordsCatchUp::start() {
    timer_.start(0);
}

// Each step is sized by the last one's time, so that a slow disk or machine keeps the
// window as lively as a fast one.
void WordsCatchUp::step() {
    if (!connection_.isOpen()) {
        return;
    }
    if (!mayWork_() || connection_.inTransaction()) {
        timer_.start(WhileBusyMs);
        return;
    }
    const auto began = Clock::now();
    db::catalogue::WordsWaiting left;
    try {
        left = db::catalogue::indexWaitingWords(connection_, perStep_);
    } catch (const db::DbError&) {
        return;  // the next command that reads the file says what is wrong with it
    }
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - began);
    if (left == db::catalogue::WordsWaiting::More) {
        const auto scaled =
            perStep_ * std::chrono::duration_cast<std::chrono::microseconds>(StepTime).count() /
            std::max<std::int64_t>(took.count(), 1);
        perStep_ = std::clamp<std::int64_t>(scaled, 200,
                                            std::min<std::int64_t>(perStep_ + perStep_ / 4, 50000));
        timer_.start(BetweenStepsMs);
    } else if (left == db::catalogue::WordsWaiting::Held) {
        timer_.start(WhileHeldMs);
    }
}

}  // namespace app

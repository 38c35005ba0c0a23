#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <utility>

#include "platform/Desktop.h"

namespace app {

// Runs `work` on a thread of its own while this thread lets window events run every 20 ms
// or so, calling `meanwhile` before each turn: the windows stay painted through a long step
// that cannot be cut into pieces, such as a compaction. `work` must touch nothing this thread
// uses meanwhile. Returns what `work` returns and throws what it throws.
template <typename Work>
auto runBesideEvents(platform::Desktop& desktop, Work&& work,
                     const std::function<void()>& meanwhile = {}) {
    constexpr auto Turn = std::chrono::milliseconds(20);
    auto done = std::async(std::launch::async, std::forward<Work>(work));
    while (done.wait_for(Turn) != std::future_status::ready) {
        if (meanwhile) {
            meanwhile();
        }
        desktop.processEvents();
    }
    return done.get();
}

// Progress a work beside the events tells, each value shown on the windows' thread before
// the work goes on, so the bar passes every step (and nothing is shown after the work).
class ProgressHandover {
  public:
    // On the work's thread: hands `value` over and waits until it has been shown.
    void tell(int value) {
        std::unique_lock lock(mutex_);
        pending_ = value;
        shown_.wait(lock, [this] { return !pending_; });
    }
    // On the windows' thread: shows the value handed over, if any, and lets the work go on.
    void pass(const std::function<void(int)>& show) {
        std::optional<int> value;
        {
            std::lock_guard lock(mutex_);
            value = pending_;
        }
        if (!value) {
            return;
        }
        show(*value);
        {
            std::lock_guard lock(mutex_);
            pending_.reset();
        }
        shown_.notify_one();
    }

  private:
    std::mutex mutex_;
    std::condition_variable shown_;
    std::optional<int> pending_;
};

// Progress and a stop between a work beside the events and the windows. The work reports
// without waiting, so reporting often costs nothing; it waits only for the windows' first
// turn (so a key pressed at the start is heard however short the work) and while the
// windows ask the user whether to stop, and hears the answer at its next report.
class RunControl {
  public:
    // On the work's thread: false once the user has chosen to stop.
    bool report(int percent) {
        percent_.store(percent, std::memory_order_relaxed);
        if (asking_.load() || !turned_.load()) {
            std::unique_lock lock(mutex_);
            answered_.wait(lock, [this] { return !asking_.load() && turned_.load(); });
        }
        return !stop_.load();
    }
    // On the windows' thread, at the end of each turn.
    void turnDone() {
        if (!turned_.load()) {
            {
                std::lock_guard lock(mutex_);
                turned_.store(true);
            }
            answered_.notify_all();
        }
    }
    int percent() const { return percent_.load(std::memory_order_relaxed); }
    // `question` says whether to stop; the work waits for it from its next report on.
    void ask(const std::function<bool()>& question) {
        asking_.store(true);
        const bool stop = question();
        {
            std::lock_guard lock(mutex_);
            stop_.store(stop_.load() || stop);
            asking_.store(false);
        }
        answered_.notify_all();
    }

  private:
    std::atomic<int> percent_{0};
    std::atomic<bool> asking_{false}, stop_{false}, turned_{false};
    std::mutex mutex_;
    std::condition_variable answered_;
};

}  // namespace app

#pragma once

#include <QString>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>

namespace app {

// What passes between a work on its own thread and the windows' thread that shows it: the
// share done, a caption, and a stop. The work reports without waiting, so reporting often
// costs nothing; it waits only for the windows' first turn (a key pressed at the start is
// heard however short the work), while the user is asked whether to stop, and for a step it
// wants seen before it goes on.
class RunProgress {
  public:
    // On the work's thread: the share done; false once the run is to stop. After 100 nothing
    // stops it any more.
    bool report(int percent) {
        percent_.store(percent, std::memory_order_relaxed);
        if (asking_.load() || !turned_.load()) {
            std::unique_lock lock(mutex_);
            answered_.wait(lock, [this] { return !asking_.load() && turned_.load(); });
        }
        return !stop_.load();
    }
    // On the work's thread: the share done, shown before the work goes on (a step another part
    // of the program waits for, such as a repair's).
    void step(int percent) {
        report(percent);
        std::unique_lock lock(mutex_);
        step_ = percent;
        answered_.wait(lock, [this] { return !step_ || finished_; });
    }
    // The bar's caption from the next turn on ("%p%" stands for the share).
    void say(const QString& caption) {
        const std::lock_guard lock(mutex_);
        caption_ = caption;
    }
    // `report` as a function, for a work that takes one.
    std::function<bool(int)> reporter() {
        return [this](int percent) { return report(percent); };
    }
    // Whether a stop was chosen, without waiting.
    bool stopping() const { return stop_.load(); }

    // On the windows' thread.
    int percent() const { return percent_.load(std::memory_order_relaxed); }
    // Shows the step the work waits on, if any, and lets it go on.
    void passStep(const std::function<void(int)>& show) {
        std::optional<int> step;
        {
            const std::lock_guard lock(mutex_);
            step = step_;
        }
        if (step) {
            show(*step);
            {
                const std::lock_guard lock(mutex_);
                step_.reset();
            }
            answered_.notify_all();
        }
    }
    std::optional<QString> takeCaption() {
        const std::lock_guard lock(mutex_);
        return std::exchange(caption_, std::nullopt);
    }
    // At the end of each turn: the work's wait for the first turn is over.
    void turnDone() {
        if (!turned_.load()) {
            {
                const std::lock_guard lock(mutex_);
                turned_.store(true);
            }
            answered_.notify_all();
        }
    }
    // `question` says whether to stop; the work waits for the answer from its next report on.
    void ask(const std::function<bool()>& question) {
        asking_.store(true);
        const bool stop = question();
        {
            const std::lock_guard lock(mutex_);
            stop_.store(stop_.load() || stop);
            asking_.store(false);
        }
        answered_.notify_all();
    }
    // The work has ended (or failed): nothing waits on the windows any more.
    void finish() {
        {
            const std::lock_guard lock(mutex_);
            finished_ = true;
            turned_.store(true);
        }
        answered_.notify_all();
    }

  private:
    std::atomic<int> percent_{0};
    std::atomic<bool> asking_{false}, stop_{false}, turned_{false};
    std::optional<int> step_;
    bool finished_ = false;
    std::optional<QString> caption_;
    std::mutex mutex_;
    std::condition_variable answered_;
};

}  // namespace app

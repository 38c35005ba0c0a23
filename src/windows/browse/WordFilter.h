#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "catalogue/Words.h"
#include "sqlite/DbError.h"

namespace windows {

// Looks for words in the catalogue beside the event loop: each search runs on a thread and a
// connection of its own, and a newer one stops the one before, whose answer is never heard.
// A catalogue read through an index of the session's own is searched on its own connection,
// at once.
class WordFilter : public QObject {
    Q_OBJECT
  public:
    explicit WordFilter(QObject* owner);
    ~WordFilter() override;

    // The row ids (ascending) of the records holding every word, or why they could not be
    // read, heard in the window's thread.
    using Found = std::function<void(std::vector<std::int64_t> ids, std::optional<db::DbError>)>;
    // The first records found among `firstRows` (the rows shown first, in their order) are
    // heard by `firstFound` before every record is gathered for `found`: a screen at once,
    // the count after it. The catalogue's connection brings the index true first (its own
    // writes are placed).
    void find(db::Connection& catalogue, std::vector<db::catalogue::SearchWord> words,
              std::vector<std::int64_t> firstRows, Found firstFound, Found found);
    // A screen's records, looked for among so many rows at most before the whole answer.
    static constexpr std::size_t FirstScreenRecords = 100;
    static constexpr std::size_t FirstScreenWalk = 10'000;
    // Stops the search running, if any: its answer is not heard.
    void cancel();
    bool running() const { return job_ != nullptr; }

  private:
    struct Job {
        std::atomic<bool> stop{false};
        std::thread thread;
    };
    std::unique_ptr<Job> job_;
    std::uint64_t generation_ = 0;
};

}  // namespace windows

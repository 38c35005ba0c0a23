#include "windows/browse/WordFilter.h"

#include <QMetaObject>
#include <chrono>

#include "catalogue/Orders.h"

namespace windows {

namespace catalogue = db::catalogue;

namespace {

constexpr auto RetryStep = std::chrono::milliseconds(10);
constexpr auto MomentsHold = std::chrono::milliseconds(300);

}  // namespace

WordFilter::WordFilter(QObject* owner) : QObject(owner) {}

WordFilter::~WordFilter() {
    cancel();
}

void WordFilter::cancel() {
    ++generation_;
    if (job_) {
        job_->stop = true;
        job_->thread.join();  // stopped within a thousand steps of the engine
        job_.reset();
    }
}

void WordFilter::find(db::Connection& catalogue, std::vector<catalogue::SearchWord> words,
                      std::vector<std::int64_t> firstRows, Found firstFound, Found found) {
    cancel();
    const std::uint64_t generation = generation_;
    try {
        const db::NoWaiting quick(catalogue, true);  // the window never waits for another program
        catalogue::bringOrdersTrue(catalogue);
        if (catalogue::readsSessionIndex(catalogue)) {
            found(catalogue::recordsWithWords(catalogue, words), std::nullopt);
            return;
        }
    } catch (const db::DbError& error) {
        found({}, error);
        return;
    }
    job_ = std::make_unique<Job>();
    Job* job = job_.get();
    const std::string path = catalogue.path();
    const auto heard = [this, generation](const Found& told, std::vector<std::int64_t> ids,
                                          std::optional<db::DbError> failure, bool last) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, told, ids = std::move(ids), failure, last]() mutable {
                if (generation != generation_) {
                    return;
                }
                if (last && job_) {
                    job_->thread.join();
                    job_.reset();
                }
                told(std::move(ids), failure);
            },
            Qt::QueuedConnection);
    };
    job->thread = std::thread([job, path, words = std::move(words),
                               firstRows = std::move(firstRows), firstFound, found, heard] {
        std::vector<std::int64_t> ids;
        std::optional<db::DbError> failure;
        bool firstHeard = false;
        // A hold of a moment is a writer's commit, the program's own word indexing's step
        // among them: waited for, in short steps, so that a stop is heard at once.
        for (auto waited = std::chrono::milliseconds(0);; waited += RetryStep) {
            try {
                db::Connection connection;
                const db::NoWaiting quick(connection, true);
                connection.open(path);
                connection.stopWhen(&job->stop);
                if (!firstHeard) {
                    auto first = catalogue::firstRecordsWithWords(connection, words, firstRows,
                                                                  FirstScreenRecords);
                    firstHeard = true;
                    if (!first.empty()) {
                        heard(firstFound, std::move(first), std::nullopt, false);
                    }
                }
                ids = catalogue::recordsWithWords(connection, words,
                                                  catalogue::IndexRead::AsItStands);
                failure.reset();
                break;
            } catch (const db::DbError& error) {
                failure = error;
                if (!error.busy || waited >= MomentsHold || job->stop) {
                    break;
                }
            }
            std::this_thread::sleep_for(RetryStep);
        }
        if (job->stop) {
            return;  // a newer search, or the window going: nobody hears it
        }
        heard(found, std::move(ids), failure, true);
    });
}

}  // namespace windows

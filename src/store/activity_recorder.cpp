#include "store/activity_recorder.h"

#include "store/activity_database.h"
#include "store/activity_log.h"

#include <chrono>

namespace pelloran {

ActivityRecorder::ActivityRecorder(ActivityDatabase& database) : database_(database) {}

ActivityRecorder::~ActivityRecorder() {
    flush();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void ActivityRecorder::addSample(const MemberSample& sample) {
    enqueue(sample, std::nullopt);
}

void ActivityRecorder::addPush(const PushRecord& push) {
    enqueue(std::nullopt, push);
}

void ActivityRecorder::enqueue(const std::optional<MemberSample>& sample,
                               const std::optional<PushRecord>& push) {
    {
        std::lock_guard lock(mutex_);
        if (sample) {
            latest_ = sample;
            if (lastQueued_ && sample->sameFigures(*lastQueued_) &&
                lastQueued_->time.secsTo(sample->time) < kSampleQuietSeconds) {
                return;  // a page read a moment after the last one says nothing new
            }
            lastQueued_ = sample;
            samples_.append(*sample);
        }
        if (push) {
            pushes_.append(*push);
        }
        startLocked();
    }
    wake_.notify_one();
}

void ActivityRecorder::openAhead() {
    {
        std::lock_guard lock(mutex_);
        openAhead_ = true;
        startLocked();
    }
    wake_.notify_one();
}

void ActivityRecorder::startLocked() {
    if (!thread_.joinable()) {
        thread_ = std::thread([this] { work(); });
    }
}

std::optional<MemberSample> ActivityRecorder::latestSample() const {
    std::lock_guard lock(mutex_);
    return latest_;
}

void ActivityRecorder::setWrittenListener(std::function<void(bool)> listener) {
    std::lock_guard lock(mutex_);
    written_ = std::move(listener);
}

bool ActivityRecorder::flush(QDeadlineTimer deadline) {
    std::unique_lock lock(mutex_);
    const auto done = [this] { return samples_.isEmpty() && pushes_.isEmpty() && !writing_; };
    if (deadline.isForever()) {
        idle_.wait(lock, done);
        return true;
    }
    return idle_.wait_for(lock, std::chrono::milliseconds(deadline.remainingTime()), done);
}

void ActivityRecorder::work() {
    ActivityLog log(database_);
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] {
            return stopping_ || openAhead_ || !samples_.isEmpty() || !pushes_.isEmpty();
        });
        if (std::exchange(openAhead_, false)) {
            writing_ = true;  // a flush meanwhile waits for the opening, as a write would
            lock.unlock();
            database_.openForThisThread();
            lock.lock();
            writing_ = false;
            idle_.notify_all();
            continue;
        }
        if (samples_.isEmpty() && pushes_.isEmpty()) {
            return;  // stopping, and nothing left
        }
        const QList<MemberSample> samples = std::exchange(samples_, {});
        const QList<PushRecord> pushes = std::exchange(pushes_, {});
        writing_ = true;
        lock.unlock();
        const bool ok = log.write(samples, pushes);
        lock.lock();
        writing_ = false;
        if (written_) {
            written_(ok);
        }
        idle_.notify_all();
    }
}

}  // namespace pelloran

#pragma once
// Takes member-bar samples and push records from any thread without making it wait for the
// disk: they are queued and written by the recorder's own thread (started with the first
// record), in one transaction per batch. A page fetch pays for a lock and a copy; the app's UI
// thread never waits for SQLite, nor for another program holding the file.
//
// The same figures as the last sample queued, less than kSampleQuietSeconds after it, are not
// queued again; the database applies the rule across programs (activity_log.h).
//
// Thread-safe. flush() waits for the queue to be written; the owner calls it before the
// database goes (the destructor does, without a limit).

#include "store/activity_records.h"

#include <QDeadlineTimer>
#include <QList>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace pelloran {

class ActivityDatabase;

class ActivityRecorder {
public:
    explicit ActivityRecorder(ActivityDatabase& database);
    ~ActivityRecorder();
    ActivityRecorder(const ActivityRecorder&) = delete;
    ActivityRecorder& operator=(const ActivityRecorder&) = delete;

    // The database it writes to, for readers of the same folder.
    ActivityDatabase& database() const { return database_; }

    void addSample(const MemberSample& sample);
    void addPush(const PushRecord& push);

    // Opens the database on the recorder's thread now, so that a record made later doesn't
    // wait for the opening: a command that will record a push calls it before its exchanges,
    // which then hide the opening's cost.
    void openAhead();

    // The newest sample handed to this recorder, written or not; absent before the first.
    std::optional<MemberSample> latestSample() const;

    // Waits until everything queued so far is written (or failed: the database says why in
    // its notices). False when `deadline` came first.
    bool flush(QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever));

    // Called on the recorder's thread after each batch is written, with whether it was.
    void setWrittenListener(std::function<void(bool)> listener);

private:
    void enqueue(const std::optional<MemberSample>& sample, const std::optional<PushRecord>& push);
    void work();
    void startLocked();  // mutex_ held

    ActivityDatabase& database_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;  // work queued, or stopping
    std::condition_variable idle_;  // a batch was written
    QList<MemberSample> samples_;
    QList<PushRecord> pushes_;
    std::optional<MemberSample> latest_;
    std::optional<MemberSample> lastQueued_;
    std::function<void(bool)> written_;
    bool openAhead_ = false;
    bool writing_ = false;
    bool stopping_ = false;
    std::thread thread_;  // started by the first record
};

}  // namespace pelloran

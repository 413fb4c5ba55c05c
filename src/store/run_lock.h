#pragma once
// One run at a time of a job per data folder (the automatic push: the timer's run and a
// member's own, or two timers). An advisory lock on a file beside the settings, held for the
// whole run; the system drops it when the process ends, however it ends, so a crashed run never
// blocks the next one.

#include <QString>
#include <memory>
#include <optional>

namespace pelloran {

class RunLock {
    struct Key {
        explicit Key() = default;
    };

public:
    RunLock(Key, QString path, int fd) : path_(std::move(path)), fd_(fd) {}  // tryTake() only
    ~RunLock();                                                              // lets the next run in
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    enum class Status { Taken, HeldElsewhere, Failed };
    struct Attempt {
        Status status = Status::Failed;
        std::unique_ptr<RunLock> lock;  // Taken only
        QString problem;                // Failed: why, with the path
    };
    // Takes `dataDirectory`/`name` without waiting: HeldElsewhere while another run (in this
    // process or another) holds it. The folder is created (0700) when missing.
    static Attempt tryTake(const QString& dataDirectory, const QString& name);

    QString path() const { return path_; }

private:
    QString path_;
    int fd_ = -1;
};

}  // namespace pelloran

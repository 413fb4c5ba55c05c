#pragma once
// The lock that makes a store's read-modify-write one step across processes (the app and any
// number of pelloran-cli runs may change the same files at once): a lock file beside the store
// file, held only for the few milliseconds of one re-read, merge and write.
//
// The lock is an flock() on that file, which stays in place between holders. Taking it costs no
// disk sync (a lock file created and synced for every write cost a push up to 90 ms on a busy
// disk), and a process that dies lets go of it at once. One whose holder still runs is taken
// over when older than the stale time, so a hung process can't block the others for ever.

#include <QString>
#include <chrono>

namespace pelloran {

struct LockTiming {
    // Far longer than any holder needs (one small file written and synced).
    std::chrono::milliseconds staleAfter{10000};
    // Longer than staleAfter, so that a stale lock is always taken over before giving up.
    std::chrono::milliseconds waitAtMost{12000};
};

class StoreLock {
public:
    // `lockPath`: the lock file, e.g. "settings.json.lock". Nothing is locked yet.
    StoreLock(const QString& lockPath, LockTiming timing);
    ~StoreLock();  // releases the lock when held
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    // Waits for the lock, up to timing.waitAtMost. False with `problem` set when it can't be
    // had (held for too long by a live process, or the lock file can't be created).
    bool acquire(QString* problem);

private:
    enum class Try { Taken, Held, Retry, Failed };
    Try tryOnce(QString* problem);
    QString holderText() const;

    QString path_;
    QByteArray nativePath_;
    LockTiming timing_;
    int fd_ = -1;
};

}  // namespace pelloran

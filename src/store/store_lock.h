#pragma once
// The lock that makes a store's read-modify-write one step across processes (the app and any
// number of pelloran-cli runs may change the same files at once): a lock file beside the store
// file, held only for the few milliseconds of one re-read, merge and write.
//
// A lock left behind by a process that died is taken over at once (its process is gone); one
// whose holder still runs is taken over when older than the stale time, so a hung process
// can't block the others for ever.

#include <QLockFile>
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
    QLockFile lock_;
    LockTiming timing_;
};

}  // namespace pelloran

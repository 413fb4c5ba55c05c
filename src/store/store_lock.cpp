#include "store/store_lock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <algorithm>

#include <sys/stat.h>

namespace pelloran {

namespace {

// Something other than a file in the lock file's place (a folder, say) never goes away by
// itself: waiting for it would only delay the failure.
bool holdsALockFile(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode);
}

}  // namespace

StoreLock::StoreLock(const QString& lockPath, LockTiming timing)
    : lock_(lockPath), timing_(timing) {
    lock_.setStaleLockTime(timing.staleAfter);
}

StoreLock::~StoreLock() {
    if (lock_.isLocked()) {
        lock_.unlock();
    }
}

bool StoreLock::acquire(QString* problem) {
    // Polled in short steps: holders keep the lock for milliseconds, and QLockFile's own wait
    // grows to seconds between tries. Each try also checks whether the lock is stale.
    const QDeadlineTimer deadline(timing_.waitAtMost);
    std::chrono::milliseconds step{1};
    for (;;) {
        if (lock_.tryLock(0)) {
            return true;
        }
        if (lock_.error() != QLockFile::LockFailedError || !holdsALockFile(lock_.fileName())) {
            if (problem) {
                *problem =
                    QStringLiteral("the lock file %1 can't be created").arg(lock_.fileName());
            }
            return false;
        }
        if (deadline.hasExpired()) {
            if (problem) {
                qint64 pid = 0;
                QString host;
                QString app;
                *problem =
                    lock_.getLockInfo(&pid, &host, &app)
                        ? QStringLiteral("%1 (process %2) keeps the lock file %3")
                              .arg(app)
                              .arg(pid)
                              .arg(lock_.fileName())
                        : QStringLiteral("the lock file %1 stays locked").arg(lock_.fileName());
            }
            return false;
        }
        QThread::msleep(static_cast<unsigned long>(
            std::clamp<qint64>(deadline.remainingTime(), 0, step.count())));
        step = std::min(step * 2, std::chrono::milliseconds(20));
    }
}

}  // namespace pelloran

#include "store/store_lock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelloran {

namespace {

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

qint64 modifiedMsecs(const struct stat& st) {
    return qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
}

}  // namespace

StoreLock::StoreLock(const QString& lockPath, LockTiming timing)
    : path_(lockPath), nativePath_(QFile::encodeName(lockPath)), timing_(timing) {}

StoreLock::~StoreLock() {
    if (fd_ >= 0) {
        // The file stays: a waiter may have it open already, and removing it would let that
        // waiter lock a file no one else sees.
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
    }
}

StoreLock::Try StoreLock::tryOnce(QString* problem) {
    const int fd = ::open(nativePath_.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        if (problem) {
            *problem = QStringLiteral("the lock file %1 can't be created (%2)")
                           .arg(path_, QString::fromLocal8Bit(std::strerror(errno)));
        }
        return Try::Failed;
    }
    struct stat opened {};
    struct stat atPath {};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        // A holder that kept the lock far longer than any write needs is hung: its file is
        // moved out of the way, and the next try locks a fresh one. It is removed only while it
        // is still the very file that was found held, so two waiters never both take over.
        const bool stale = error == EWOULDBLOCK && ::fstat(fd, &opened) == 0 &&
                           ::stat(nativePath_.constData(), &atPath) == 0 &&
                           sameFile(opened, atPath) &&
                           QDateTime::currentMSecsSinceEpoch() - modifiedMsecs(atPath) >=
                               timing_.staleAfter.count();
        if (stale) {
            ::unlink(nativePath_.constData());
        }
        ::close(fd);
        if (error != EWOULDBLOCK) {
            if (problem) {
                *problem = QStringLiteral("the lock file %1 can't be locked (%2)")
                               .arg(path_, QString::fromLocal8Bit(std::strerror(error)));
            }
            return Try::Failed;
        }
        return stale ? Try::Retry : Try::Held;
    }
    // Locked; but a take-over may have replaced the file between the open and the lock, and a
    // lock on a file no longer at the path keeps no one out.
    if (::fstat(fd, &opened) != 0 || ::stat(nativePath_.constData(), &atPath) != 0 ||
        !sameFile(opened, atPath)) {
        ::close(fd);
        return Try::Retry;
    }
    // Who holds it, for a waiter's message; the write also renews the time the stale check
    // reads. Not synced: nothing depends on it surviving a crash.
    const QByteArray holder = QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                              QCoreApplication::applicationName().toUtf8() + '\n';
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, holder.constData(), holder.size(), 0) < 0) {
        ::futimens(fd, nullptr);
    }
    fd_ = fd;
    return Try::Taken;
}

QString StoreLock::holderText() const {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QList<QByteArray> lines = file.read(4096).split('\n');
    bool isNumber = false;
    const qint64 pid = lines.value(0).toLongLong(&isNumber);
    if (!isNumber || lines.size() < 2) {
        return {};
    }
    return QStringLiteral("%1 (process %2)").arg(QString::fromUtf8(lines[1])).arg(pid);
}

bool StoreLock::acquire(QString* problem) {
    if (fd_ >= 0) {
        return true;
    }
    // Polled in short steps: holders keep the lock for milliseconds.
    const QDeadlineTimer deadline(timing_.waitAtMost);
    std::chrono::milliseconds step{1};
    for (;;) {
        switch (tryOnce(problem)) {
            case Try::Taken:
                return true;
            case Try::Failed:
                return false;
            case Try::Retry:
                continue;
            case Try::Held:
                break;
        }
        if (deadline.hasExpired()) {
            if (problem) {
                const QString holder = holderText();
                *problem = holder.isEmpty()
                               ? QStringLiteral("the lock file %1 stays locked").arg(path_)
                               : QStringLiteral("%1 keeps the lock file %2").arg(holder, path_);
            }
            return false;
        }
        QThread::msleep(static_cast<unsigned long>(
            std::clamp<qint64>(deadline.remainingTime(), 0, step.count())));
        step = std::min(step * 2, std::chrono::milliseconds(20));
    }
}

}  // namespace pelloran

#include "store/run_lock.h"

#include "store/store_file.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace pelloran {

RunLock::~RunLock() {
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
    }
}

RunLock::Attempt RunLock::tryTake(const QString& dataDirectory, const QString& name) {
    Attempt attempt;
    const QString path = QDir(dataDirectory).filePath(name);
    QString problem;
    if (!ensurePrivateDirectory(dataDirectory, &problem)) {
        attempt.problem =
            QStringLiteral("the folder %1 can't be created (%2)").arg(dataDirectory, problem);
        return attempt;
    }
    // flock() locks the open file description: a second open in this process is refused too.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        attempt.problem = QStringLiteral("the lock file %1 can't be opened (%2)")
                              .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return attempt;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) {
            attempt.status = Status::HeldElsewhere;
            return attempt;
        }
        attempt.problem = QStringLiteral("the lock file %1 can't be locked (%2)")
                              .arg(path, QString::fromLocal8Bit(std::strerror(error)));
        return attempt;
    }
    attempt.status = Status::Taken;
    attempt.lock = std::make_unique<RunLock>(Key{}, path, fd);
    return attempt;
}

}  // namespace pelloran

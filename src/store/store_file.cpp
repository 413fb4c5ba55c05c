#include "store/store_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace pelloran {

namespace {

FileStamp stampOfStat(const struct stat& st) {
    FileStamp s;
    s.known = true;
    s.exists = true;
    s.device = static_cast<quint64>(st.st_dev);
    s.inode = static_cast<quint64>(st.st_ino);
    s.size = static_cast<qint64>(st.st_size);
    s.mtimeNs = static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.ctimeNs = static_cast<qint64>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return s;
}

FileStamp absentStamp() {
    FileStamp s;
    s.known = true;
    return s;
}

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// A rename is only durable once the folder entry itself reaches the disk.
void syncDirectory(const QString& directory) {
    const int fd = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

FileStamp stampOfPath(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        return stampOfStat(st);
    }
    if (errno == ENOENT || errno == ENOTDIR) {
        return absentStamp();
    }
    return {};  // can't tell: unknown, so the caller reads again
}

PinnedStamp::~PinnedStamp() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

PinnedStamp::PinnedStamp(PinnedStamp&& other) noexcept
    : stamp_(other.stamp_), fd_(std::exchange(other.fd_, -1)) {}

PinnedStamp& PinnedStamp::operator=(PinnedStamp&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        stamp_ = other.stamp_;
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

PinnedStamp PinnedStamp::adopt(int fd) {
    PinnedStamp pinned;
    struct stat st {};
    if (fd >= 0 && ::fstat(fd, &st) == 0) {
        pinned.stamp_ = stampOfStat(st);
        pinned.fd_ = fd;
    } else if (fd >= 0) {
        ::close(fd);
    }
    return pinned;
}

PinnedStamp PinnedStamp::absent() {
    PinnedStamp pinned;
    pinned.stamp_ = absentStamp();
    return pinned;
}

PinnedStamp PinnedStamp::of(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        PinnedStamp pinned;
        if (errno == ENOENT || errno == ENOTDIR) {
            pinned.stamp_ = absentStamp();
        }
        return pinned;
    }
    return adopt(fd);
}

bool PinnedStamp::matches(const QString& path) const {
    return stamp_.known && stampOfPath(path) == stamp_;
}

StoreFileRead readStoreFile(const QString& path, qint64 maxSize) {
    StoreFileRead read;
    // Non-blocking, so that a FIFO put in the file's place can't hang start-up.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {  // no such file (ENOTDIR: nor folder)
            read.stamp = PinnedStamp::absent();
            return read;
        }
        read.status = StoreFileRead::Status::Unreadable;
        read.problem = errnoText(errno);
        return read;
    }
    read.stamp = PinnedStamp::adopt(fd);
    read.status = StoreFileRead::Status::Unreadable;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        read.problem = errnoText(errno);
        return read;
    }
    if (S_ISDIR(st.st_mode)) {
        read.problem = QStringLiteral("it is a folder");
        return read;
    }
    if (!S_ISREG(st.st_mode)) {
        read.problem = QStringLiteral("it is not a regular file");
        return read;
    }
    if (st.st_size > maxSize) {
        read.problem = QStringLiteral("it is larger than %1").arg(sizeInWords(maxSize));
        return read;
    }
    QByteArray content(static_cast<qsizetype>(st.st_size), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < content.size()) {
        const ssize_t n =
            ::pread(fd, content.data() + got, static_cast<size_t>(content.size() - got),
                    static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            read.problem = errnoText(errno);
            return read;
        }
        if (n == 0) {
            break;  // shrank under us: what was read is all there is
        }
        got += n;
    }
    content.truncate(got);
    read.content = std::move(content);
    read.status = StoreFileRead::Status::Read;
    return read;
}

std::optional<QString> moveAside(const QString& path, QString* problem) {
    const QString base =
        path + QStringLiteral(".unreadable-") +
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 1; n <= 1000; ++n) {
        const QString candidate = n == 1 ? base : base + QLatin1Char('-') + QString::number(n);
        struct stat st {};
        if (::lstat(QFile::encodeName(candidate).constData(), &st) == 0) {
            continue;  // never replace an earlier one
        }
        if (::rename(QFile::encodeName(path).constData(),
                     QFile::encodeName(candidate).constData()) == 0) {
            syncDirectory(QFileInfo(path).absolutePath());
            return candidate;
        }
        if (problem) {
            *problem = errnoText(errno);
        }
        return std::nullopt;
    }
    if (problem) {
        *problem = QStringLiteral("too many files set aside already");
    }
    return std::nullopt;
}

bool writePrivateFile(const QString& path, const QByteArray& bytes, QString* problem) {
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    const auto fail = [&] {
        if (problem) {
            *problem = file.errorString();
        }
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly)) {
        return fail();
    }
    // Restrict the temporary file before any secret is written into it.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(bytes) != bytes.size()) {
        return fail();
    }
    if (!file.commit()) {  // syncs the temporary file, then renames it over the old one
        if (problem) {
            *problem = file.errorString();
        }
        return false;
    }
    syncDirectory(QFileInfo(path).absolutePath());
    return true;
}

bool ensurePrivateDirectory(const QString& directory, QString* problem) {
    const QByteArray native = QFile::encodeName(directory);
    struct stat st {};
    if (::stat(native.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            return true;  // the member's folder: its mode is theirs
        }
        if (problem) {
            *problem = QStringLiteral("%1 is not a folder").arg(directory);
        }
        return false;
    }
    const QString parent = QFileInfo(directory).absolutePath();
    if (parent != directory && !QDir().mkpath(parent)) {
        if (problem) {
            *problem = QStringLiteral("the folder %1 can't be created").arg(parent);
        }
        return false;
    }
    // Another process may create it at the same moment: a folder there is all that counts.
    const int error = ::mkdir(native.constData(), 0700) == 0 ? 0 : errno;
    if (::stat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
        return true;
    }
    if (problem) {
        *problem = QStringLiteral("the folder %1 can't be created (%2)")
                       .arg(directory, errnoText(error ? error : ENOTDIR));
    }
    return false;
}

QString sizeInWords(qint64 bytes) {
    constexpr qint64 kMegabyte = qint64{1024} * 1024;
    if (bytes >= kMegabyte) {
        return QStringLiteral("%1 MB").arg(bytes / kMegabyte);
    }
    return QStringLiteral("%1 KB").arg(bytes / 1024);
}

}  // namespace pelloran

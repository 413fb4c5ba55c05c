#include "support/loopback_port.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace pelloran::test {

int freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        return 0;
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof(addr);
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
        port = ntohs(addr.sin_port);
    }
    ::close(fd);
    return port;
}

QString randomHex(int bytes) {
    QByteArray raw(bytes, Qt::Uninitialized);
    for (char& c : raw) {
        c = static_cast<char>(QRandomGenerator::global()->bounded(256));
    }
    return QString::fromLatin1(raw.toHex());
}

bool portAnswers(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        return false;
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0;
    ::close(fd);
    return connected;
}

bool onCi() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

void stopProcess(QProcess& process, int graceMs) {
    if (process.state() == QProcess::NotRunning) {
        return;
    }
    process.terminate();
    if (!process.waitForFinished(graceMs)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

bool startLogged(QProcess& process, const QString& program, const QStringList& arguments,
                 const QString& logFile) {
    process.setProgram(program);
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardOutputFile(logFile);
    process.start();
    return process.waitForStarted(5000);
}

bool waitUntilReady(int ms, int intervalMs, const std::function<bool()>& running,
                    const std::function<Probe()>& probe) {
    const QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        if (!running()) {
            return false;  // exited, e.g. its port was taken after all
        }
        switch (probe()) {
            case Probe::Ready:
                return true;
            case Probe::Refused:
                return false;
            case Probe::NotYet:
                break;
        }
        QThread::msleep(static_cast<unsigned long>(intervalMs));
    }
    return false;
}

bool bringUp(const Startup& startup, QString* error) {
    if (!startup.missing.isEmpty()) {
        if (error) {
            *error = startup.missing;
        }
        return false;
    }
    for (int attempt = 0; attempt < startup.attempts; ++attempt) {
        QString why;
        if (startup.tryOnce(&why)) {
            if (error) {
                error->clear();
            }
            return true;
        }
        if (error) {
            *error = why.isEmpty() ? startup.notReady() : why;
        }
        startup.stop();
    }
    return false;
}

std::optional<QString> fileTail(const QString& path, int bytes) {
    QFile log(path);
    if (!log.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return QString::fromUtf8(log.readAll().right(bytes)).trimmed();
}

}  // namespace pelloran::test

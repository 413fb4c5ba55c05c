#include "support/loopback_port.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

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

std::optional<QString> fileTail(const QString& path, int bytes) {
    QFile log(path);
    if (!log.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return QString::fromUtf8(log.readAll().right(bytes)).trimmed();
}

}  // namespace pelloran::test

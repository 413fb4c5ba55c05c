#include "server_sockets.h"

#include <filesystem>
#include <functional>
#include <string>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace pelloran::demo {

namespace {

// Calls `visit` with each IPv4 socket of this process bound to `address`:`port`, and whether
// it listens.
void forEachSocketOn(const QString& address, int port,
                     const std::function<void(int fd, bool listening)>& visit) {
    in_addr wanted{};
    if (::inet_pton(AF_INET, address.toLatin1().constData(), &wanted) != 1) {
        return;
    }
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        int fd = -1;
        try {
            fd = std::stoi(entry.path().filename().string());
        } catch (...) {
            continue;
        }
        int listening = 0;
        socklen_t size = sizeof(listening);
        if (::getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &size) != 0) {
            continue;  // not a socket
        }
        sockaddr_in addr{};
        socklen_t len = sizeof(addr);
        if (::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0 &&
            addr.sin_family == AF_INET && ntohs(addr.sin_port) == port &&
            addr.sin_addr.s_addr == wanted.s_addr) {
            visit(fd, listening != 0);
        }
    }
}

}  // namespace

void widenListenBacklog(const QString& address, int port) {
    forEachSocketOn(address, port, [](int fd, bool listening) {
        if (listening) {
            ::listen(fd, SOMAXCONN);  // a second listen() only changes the backlog
        }
    });
}

void shutDownAcceptedConnections(const QString& address, int port) {
    forEachSocketOn(address, port, [](int fd, bool listening) {
        if (!listening) {
            ::shutdown(fd, SHUT_RDWR);  // the worker reads an end of stream and closes it
        }
    });
}

}  // namespace pelloran::demo

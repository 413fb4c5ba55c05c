#include "listen_backlog.h"

#include <filesystem>
#include <string>

#include <netinet/in.h>
#include <sys/socket.h>

namespace pelloran::demo {

void widenListenBacklog(int port) {
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
        if (::getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &size) != 0 || !listening) {
            continue;
        }
        sockaddr_in addr{};
        socklen_t len = sizeof(addr);
        if (::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0 &&
            addr.sin_family == AF_INET && ntohs(addr.sin_port) == port) {
            ::listen(fd, SOMAXCONN);  // a second listen() only changes the backlog
        }
    }
}

}  // namespace pelloran::demo

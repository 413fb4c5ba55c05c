#include "support/hostile_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>

namespace pelloran::test {

namespace {

constexpr size_t kMaxHead = 64 * 1024;

bool equalsIgnoreCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string trimmed(const std::string& s) {
    const size_t begin = s.find_first_not_of(" \t");
    if (begin == std::string::npos) {
        return {};
    }
    return s.substr(begin, s.find_last_not_of(" \t") - begin + 1);
}

const char* reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 204:
            return "No Content";
        case 301:
            return "Moved Permanently";
        case 302:
            return "Found";
        case 303:
            return "See Other";
        case 307:
            return "Temporary Redirect";
        case 308:
            return "Permanent Redirect";
        case 401:
            return "Unauthorized";
        case 404:
            return "Not Found";
        case 409:
            return "Conflict";
        default:
            return "Status";
    }
}

std::string headerIn(const HostileHeaders& headers, const std::string& name) {
    for (const auto& [key, value] : headers) {
        if (equalsIgnoreCase(key, name)) {
            return value;
        }
    }
    return {};
}

}  // namespace

std::string HostileRequest::header(const std::string& name) const {
    return headerIn(headers, name);
}

bool HostileRequest::hasHeader(const std::string& name) const {
    return std::any_of(headers.begin(), headers.end(),
                       [&](const auto& kv) { return equalsIgnoreCase(kv.first, name); });
}

HostileServer::HostileServer(Mode mode, std::string address)
    : mode_(mode), address_(std::move(address)) {}

HostileServer::~HostileServer() {
    stop();
}

bool HostileServer::start() {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) {
        return false;
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = 0;
    if (::inet_pton(AF_INET, address_.c_str(), &addr.sin_addr) != 1 ||
        ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
        ::close(listenFd_);
        listenFd_ = -1;
        return false;
    }
    socklen_t len = sizeof(addr);
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    if (mode_ == Mode::Closed) {
        return true;  // bound, never listening: connections are refused, the port stays ours
    }
    if (::listen(listenFd_, SOMAXCONN) != 0 || ::pipe2(wakeFds_, O_CLOEXEC) != 0) {
        ::close(listenFd_);
        listenFd_ = -1;
        return false;
    }
    acceptThread_ = std::thread([this] { acceptLoop(); });
    return true;
}

void HostileServer::stop() {
    if (stopping_.exchange(true)) {
        return;
    }
    if (wakeFds_[1] >= 0) {
        const char byte = 0;
        [[maybe_unused]] const ssize_t n = ::write(wakeFds_[1], &byte, 1);
    }
    if (acceptThread_.joinable()) {
        acceptThread_.join();
    }
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(mutex_);
        for (const int fd : openFds_) {
            ::shutdown(fd, SHUT_RDWR);  // wakes a connection thread blocked in recv
        }
        threads.swap(connectionThreads_);
    }
    stopped_.notify_all();
    for (std::thread& t : threads) {
        t.join();
    }
    for (int* fd : {&listenFd_, &wakeFds_[0], &wakeFds_[1]}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

void HostileServer::acceptLoop() {
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeFds_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
            return;
        }
        if (stopping_ || (fds[1].revents & POLLIN)) {
            return;
        }
        if (!(fds[0].revents & POLLIN)) {
            continue;
        }
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        const int number = ++connections_;
        std::lock_guard lock(mutex_);
        openFds_.push_back(fd);
        connectionThreads_.emplace_back([this, fd, number] {
            serve(fd, number);
            std::lock_guard inner(mutex_);
            openFds_.erase(std::remove(openFds_.begin(), openFds_.end(), fd), openFds_.end());
            ::close(fd);
        });
    }
}

void HostileServer::serve(int fd, int number) {
    if (mode_ == Mode::Stall) {
        waitUntilStopped();
        return;
    }
    std::string buffer;
    for (;;) {
        HostileRequest request;
        request.connection = number;
        const bool headOnly = mode_ == Mode::StallMidRequest;
        if (!readRequest(fd, buffer, request, headOnly)) {
            return;
        }
        record(request);
        if (headOnly) {
            waitUntilStopped();
            return;
        }
        const Reply reply = answer(request);
        deliver(fd, reply);
        if (reply.delivery != Delivery::Whole || reply.closeConnection ||
            equalsIgnoreCase(request.header("Connection"), "close") ||
            equalsIgnoreCase(headerIn(reply.headers, "Connection"), "close")) {
            return;
        }
    }
}

bool HostileServer::recvMore(int fd, std::string& buffer) {
    char chunk[16 * 1024];
    const ssize_t n = ::recv(fd, chunk, sizeof(chunk), 0);
    if (n <= 0 || stopping_) {
        return false;
    }
    buffer.append(chunk, static_cast<size_t>(n));
    return true;
}

bool HostileServer::readRequest(int fd, std::string& buffer, HostileRequest& request,
                                bool headOnly) {
    size_t headEnd;
    while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
        if (buffer.size() > kMaxHead || !recvMore(fd, buffer)) {
            return false;
        }
    }
    const std::string head = buffer.substr(0, headEnd);
    buffer.erase(0, headEnd + 4);
    size_t lineEnd = head.find("\r\n");
    const std::string requestLine = head.substr(0, lineEnd);
    const size_t sp1 = requestLine.find(' ');
    const size_t sp2 = requestLine.find(' ', sp1 + 1);
    if (sp1 == std::string::npos || sp2 == std::string::npos) {
        return false;
    }
    request.method = requestLine.substr(0, sp1);
    request.target = requestLine.substr(sp1 + 1, sp2 - sp1 - 1);
    request.path = request.target.substr(0, request.target.find('?'));
    while (lineEnd != std::string::npos) {
        const size_t next = head.find("\r\n", lineEnd + 2);
        const std::string line = head.substr(lineEnd + 2, next - lineEnd - 2);
        if (const size_t colon = line.find(':'); colon != std::string::npos) {
            request.headers.emplace_back(line.substr(0, colon), trimmed(line.substr(colon + 1)));
        }
        lineEnd = next;
    }
    if (headOnly) {
        request.complete = false;
        return true;
    }
    if (equalsIgnoreCase(request.header("Expect"), "100-continue")) {
        sendAll(fd, "HTTP/1.1 100 Continue\r\n\r\n");
    }
    // Strict, as real servers are: a Content-Length is waited for whatever the method.
    const std::string length = request.header("Content-Length");
    size_t wanted = 0;
    if (std::from_chars(length.data(), length.data() + length.size(), wanted).ec != std::errc()) {
        wanted = 0;
    }
    while (buffer.size() < wanted) {
        if (!recvMore(fd, buffer)) {
            request.body = buffer;
            request.complete = false;
            record(request);  // the part that came, for tests that look at a cut-off request
            return false;
        }
    }
    request.body = buffer.substr(0, wanted);
    buffer.erase(0, wanted);
    return true;
}

void HostileServer::sendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return;
        }
        sent += static_cast<size_t>(n);
    }
}

void HostileServer::deliver(int fd, const Reply& reply) {
    if (reply.delivery == Delivery::Never) {
        waitUntilStopped();
        return;
    }
    std::string head =
        "HTTP/1.1 " + std::to_string(reply.status) + " " + reason(reply.status) + "\r\n";
    for (const auto& [name, value] : reply.headers) {
        head += name + ": " + value + "\r\n";
    }
    if (headerIn(reply.headers, "Content-Length").empty()) {
        head += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    }
    head += "\r\n";
    switch (reply.delivery) {
        case Delivery::Whole:
            sendAll(fd, head + reply.body);
            return;
        case Delivery::HalfThenStall:
            sendAll(fd, head + reply.body.substr(0, reply.body.size() / 2));
            waitUntilStopped();
            return;
        case Delivery::Trickle: {
            std::chrono::milliseconds interval;
            {
                std::lock_guard lock(mutex_);
                interval = trickleInterval_;
            }
            for (const char byte : head + reply.body) {
                if (!pause(interval)) {
                    return;
                }
                sendAll(fd, std::string(1, byte));
            }
            return;
        }
        case Delivery::Never:
            return;
    }
}

Reply HostileServer::answer(const HostileRequest& request) {
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        for (size_t i = routeKeys_.size(); i-- > 0;) {
            const auto& [method, path] = routeKeys_[i];
            const bool methodMatches = method.empty() || method == request.method;
            const bool pathMatches = path.ends_with('*')
                                         ? request.path.starts_with(path.substr(0, path.size() - 1))
                                         : request.path == path;
            if (methodMatches && pathMatches) {
                handler = handlers_[i];
                break;
            }
        }
    }
    return handler ? handler(request) : page("<html><title>Not found</title></html>", 404);
}

void HostileServer::route(const std::string& method, const std::string& path, Handler handler) {
    std::lock_guard lock(mutex_);
    routeKeys_.emplace_back(method, path);
    handlers_.push_back(std::move(handler));
}

void HostileServer::route(const std::string& method, const std::string& path, Reply reply) {
    route(method, path, [reply](const HostileRequest&) { return reply; });
}

void HostileServer::setTrickleInterval(std::chrono::milliseconds interval) {
    std::lock_guard lock(mutex_);
    trickleInterval_ = interval;
}

void HostileServer::waitUntilStopped() {
    std::unique_lock lock(mutex_);
    stopped_.wait(lock, [this] { return stopping_.load(); });
}

bool HostileServer::pause(std::chrono::milliseconds interval) {
    std::unique_lock lock(mutex_);
    return !stopped_.wait_for(lock, interval, [this] { return stopping_.load(); });
}

void HostileServer::record(const HostileRequest& request) {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
}

QString HostileServer::hostPort() const {
    return QString::fromStdString(address_) + QLatin1Char(':') + QString::number(port_);
}

QString HostileServer::url(const QString& path) const {
    return QStringLiteral("http://") + hostPort() + path;
}

std::vector<HostileRequest> HostileServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

int HostileServer::count(const std::string& method, const std::string& path) const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(requests_.begin(), requests_.end(), [&](const auto& r) {
        return (method.empty() || r.method == method) && r.path == path;
    }));
}

void HostileServer::clearRecords() {
    std::lock_guard lock(mutex_);
    requests_.clear();
    connections_ = 0;
}

Reply page(const std::string& html, int status) {
    return Reply{status, {{"Content-Type", "text/html; charset=utf-8"}}, html, Delivery::Whole};
}

Reply redirect(int status, const std::string& location) {
    Reply reply =
        page("<html><body>Moved <a href=\"" + location + "\">here</a></body></html>", status);
    reply.headers.emplace_back("Location", location);
    return reply;
}

Reply loginPage(const std::string& loginTitle) {
    return page("<html><head><title>" + loginTitle +
                "</title></head><body><form method=\"post\" action=\"/user/account/login/\">"
                "<input name=\"username\"><input type=\"password\" name=\"password\">"
                "</form></body></html>");
}

Reply utorrentTokenPage(const std::string& token) {
    return page("<html><div id='token' style='display:none;'>" + token + "</div></html>");
}

void serveLoginPageForEverything(HostileServer& server, const std::string& loginTitle,
                                 bool redirectAfterSignIn, const std::string& loginPath) {
    server.route("", "*", loginPage(loginTitle));
    Reply signedIn = redirectAfterSignIn
                         ? redirect(302, "/")
                         : page(
                               "<html><head><title>Welcome</title></head><body>Signed in."
                               "</body></html>");
    signedIn.headers.emplace_back("Set-Cookie", "session=forgotten; Path=/no/page/lives/here/");
    server.route("POST", loginPath, signedIn);
}

}  // namespace pelloran::test

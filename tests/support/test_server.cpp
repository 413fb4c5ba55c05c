#include "support/test_server.h"

#include <algorithm>
#include <cctype>
#include <chrono>

namespace pelloran::test {

namespace {
bool equalsIgnoreCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}
}  // namespace

std::string RecordedRequest::header(const std::string& name) const {
    for (const auto& [key, value] : headers) {
        if (equalsIgnoreCase(key, name)) {
            return value;
        }
    }
    return {};
}

bool RecordedRequest::hasHeader(const std::string& name) const {
    return std::any_of(headers.begin(), headers.end(),
                       [&](const auto& kv) { return equalsIgnoreCase(kv.first, name); });
}

namespace {
constexpr char kOriginalContentType[] = "X-Test-Original-Content-Type";
}

TestServer::TestServer(const std::string& address) : address_(address) {
    // httplib writes an answer's head and body apart; without this the body waits for the
    // client's delayed ACK (40 ms) whenever the client keeps its connection for the next request.
    server_.set_tcp_nodelay(true);
    // One request per connection ("Connection: close"): httplib's stop() would otherwise wait
    // out its 5 s keep-alive for every connection a client keeps open for later.
    server_.set_keep_alive_max_count(1);
    // httplib always parses multipart bodies into parts and leaves req.body empty. Tests must
    // see the exact bytes a client sent, so before the body is read the content type is
    // renamed (the request object is not const, only the handler's view of it is); the record
    // below puts the original back.
    server_.set_pre_routing_handler([](const httplib::Request& req, httplib::Response&) {
        auto& mutableReq = const_cast<httplib::Request&>(req);
        auto it = mutableReq.headers.find("Content-Type");
        if (it != mutableReq.headers.end() && it->second.rfind("multipart/form-data", 0) == 0) {
            const std::string original = it->second;
            mutableReq.headers.erase(it);
            mutableReq.headers.emplace("Content-Type", "application/octet-stream");
            mutableReq.headers.emplace(kOriginalContentType, original);
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    // Recorded after routing, when the body has been read; still before the response is sent,
    // so a client that got its answer always finds its request in the log.
    server_.set_post_routing_handler([this](const httplib::Request& req, httplib::Response&) {
        RecordedRequest rec;
        rec.method = req.method;
        rec.path = req.path;
        rec.target = req.target;
        rec.headers = req.headers;
        if (auto it = rec.headers.find(kOriginalContentType); it != rec.headers.end()) {
            const std::string original = it->second;
            rec.headers.erase(it);
            rec.headers.erase("Content-Type");
            rec.headers.emplace("Content-Type", original);
        }
        rec.body = req.body;
        std::lock_guard lock(mutex_);
        requests_.push_back(std::move(rec));
    });
}

TestServer::~TestServer() {
    stop();
}

bool TestServer::start() {
    port_ = server_.bind_to_any_port(address_);
    if (port_ <= 0) {
        return false;
    }
    // The socket already listens after bind_to_any_port, so clients may connect at once.
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    // stop() is ignored until the accept loop runs, so don't hand out a server before then.
    while (!server_.is_running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void TestServer::stop() {
    if (thread_.joinable()) {
        server_.stop();
        thread_.join();
    }
}

QString TestServer::hostPort() const {
    return QString::fromStdString(address_) + QLatin1Char(':') + QString::number(port_);
}

QString TestServer::url(const QString& path) const {
    return QStringLiteral("http://") + hostPort() + path;
}

std::vector<RecordedRequest> TestServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

RecordedRequest TestServer::lastRequest() const {
    std::lock_guard lock(mutex_);
    return requests_.empty() ? RecordedRequest{} : requests_.back();
}

size_t TestServer::requestCount() const {
    std::lock_guard lock(mutex_);
    return requests_.size();
}

void TestServer::clearRequests() {
    std::lock_guard lock(mutex_);
    requests_.clear();
}

}  // namespace pelloran::test

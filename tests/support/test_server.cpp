#include "support/test_server.h"

#include <algorithm>
#include <cctype>

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

TestServer::TestServer(const std::string& address) : address_(address) {
    server_.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
        RecordedRequest rec;
        rec.method = req.method;
        rec.path = req.path;
        rec.target = req.target;
        rec.headers = req.headers;
        rec.body = req.body;
        std::lock_guard lock(mutex_);
        requests_.push_back(std::move(rec));
        return httplib::Server::HandlerResponse::Unhandled;
    });
}

TestServer::~TestServer() { stop(); }

bool TestServer::start() {
    port_ = server_.bind_to_any_port(address_);
    if (port_ <= 0) {
        return false;
    }
    // The socket already listens after bind_to_any_port, so clients may connect at once.
    thread_ = std::thread([this] { server_.listen_after_bind(); });
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

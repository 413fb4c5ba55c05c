#pragma once
// A loopback HTTP server for tests: binds 127.0.0.1 on an ephemeral port, runs on its own
// thread, records every request it receives, and lets each test install its own handlers.

#include <httplib.h>

#include <QString>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pelloran::test {

struct RecordedRequest {
    std::string method;
    std::string path;    // without the query
    std::string target;  // path and query as sent
    httplib::Headers headers;
    std::string body;

    std::string header(const std::string& name) const;  // "" when absent; case-insensitive
    bool hasHeader(const std::string& name) const;
};

class TestServer {
public:
    explicit TestServer(const std::string& address = "127.0.0.1");
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // Handlers must be installed before start().
    httplib::Server& server() { return server_; }
    bool start();
    void stop();

    int port() const { return port_; }
    std::string address() const { return address_; }
    QString hostPort() const;                // "127.0.0.1:PORT"
    QString url(const QString& path) const;  // "http://127.0.0.1:PORT" + path

    std::vector<RecordedRequest> requests() const;
    RecordedRequest lastRequest() const;  // empty record when none arrived
    size_t requestCount() const;
    void clearRequests();

private:
    std::string address_;
    int port_ = 0;
    httplib::Server server_;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<RecordedRequest> requests_;
};

}  // namespace pelloran::test

#pragma once
// A Transmission client stand-in for the app's widget tests, able to hold each upload until
// the test lets it through, so that pushes can be watched while they are outstanding.

#include "remote/server_info.h"
#include "support/test_server.h"

#include <chrono>
#include <semaphore>

namespace pelloran::test {

// A Transmission stand-in: the session-id handshake, then uploads that wait for release(), or
// are taken at once when it is made with `hold` false.
class HeldTransmission {
public:
    explicit HeldTransmission(bool hold = true) {
        if (!hold) {
            gate_.release(kMaxUploads);
        }
        server_.server().Get("/transmission/rpc",
                             [](const httplib::Request&, httplib::Response& res) {
                                 res.status = 409;
                                 res.set_header("X-Transmission-Session-Id", "held");
                             });
        server_.server().Post("/transmission/upload",
                              [this](const httplib::Request&, httplib::Response& res) {
                                  // Never longer than a test: a forgotten release still ends.
                                  gate_.try_acquire_for(std::chrono::seconds(20));
                                  res.set_content("{}", "application/json");
                              });
    }
    ~HeldTransmission() {
        gate_.release(kMaxUploads);
        server_.stop();
    }
    bool start() { return server_.start(); }
    void release() { gate_.release(); }
    int port() const { return server_.port(); }
    size_t uploads() const {
        size_t n = 0;
        for (const RecordedRequest& r : server_.requests()) {
            n += r.path == "/transmission/upload";
        }
        return n;
    }
    // Points the app's remote settings at this stand-in.
    void chooseIn(ServerInfo& info) const {
        info.setClient(QStringLiteral("Transmission"));
        info.setAddress(QStringLiteral("127.0.0.1"));
        info.setPort(QString::number(server_.port()));
    }

private:
    static constexpr int kMaxUploads = 1000;
    TestServer server_;
    std::counting_semaphore<2 * kMaxUploads> gate_{0};
};

}  // namespace pelloran::test

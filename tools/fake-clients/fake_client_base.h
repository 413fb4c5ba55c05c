#pragma once
// Common machinery of the loopback fake BitTorrent-client web interfaces: a cpp-httplib server
// on 127.0.0.1, optional Basic authentication, fault switches, and a record of every request
// and every torrent accepted. It deliberately shares no code with pelloran_core, so the bytes
// the client sends are checked by an independent reading.
//
// Thread contract: start() and stop() belong to the thread that owns the fake; every other
// member may be called from any thread. Requests are served on the server's worker threads.

#include "received_request.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace httplib {
struct Request;
struct Response;
}  // namespace httplib

namespace pelloran::fake {

class FakeClientBase {
public:
    virtual ~FakeClientBase();
    FakeClientBase(const FakeClientBase&) = delete;
    FakeClientBase& operator=(const FakeClientBase&) = delete;

    // Listens on 127.0.0.1:port (0 = an ephemeral port) and serves on a thread of its own.
    // False when the port cannot be bound or the fake already runs.
    bool start(int port = 0);
    // Releases held answers, stops listening and joins the server thread. Safe to call twice.
    void stop();
    int port() const;                                // 0 when not running
    QString hostPort() const;                        // "127.0.0.1:PORT"
    QString url(const QString& pathAndQuery) const;  // "http://127.0.0.1:PORT" + pathAndQuery

    // A non-empty user demands HTTP Basic credentials on every request (else 401 with a
    // WWW-Authenticate challenge). An empty user switches authentication off.
    void setCredentials(const QString& user, const QString& password);

    // Fault switches, checked in this order after the request is recorded: a held answer
    // (no answer / delay), a dropped connection, a forced status; then authentication and the
    // fake's own pages.
    void setNoAnswer(bool on);  // hold every answer until switched off or stop()
    void setAnswerDelay(std::chrono::milliseconds delay);  // hold each answer this long; 0 = off
    void setDropConnection(bool on);     // close the connection without sending a byte
    void setFailWithStatus(int status);  // answer everything with this status; 0 = off

    std::vector<ReceivedRequest> requests() const;
    ReceivedRequest lastRequest() const;  // an empty record when none arrived
    std::vector<AddedTorrent> addedTorrents() const;
    // Waits until at least `count` requests have been recorded; false on timeout.
    bool waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;
    // Forgets recorded requests and added torrents; switches and server state stay.
    void clear();

    // One response of a fake's own pages.
    struct Answer {
        int status = 200;
        QByteArray contentType = "text/html; charset=utf-8";
        QByteArray body;
        HeaderList headers;  // extra response headers, e.g. Set-Cookie
    };

protected:
    // `realm` is named in the authentication challenge.
    explicit FakeClientBase(QByteArray realm);

    // The fake's own pages. Called on a server thread with no lock of the base held, for a
    // request that passed the fault switches and authentication.
    virtual Answer route(const ReceivedRequest& request) = 0;

    // Records an accepted upload; called from route().
    void addTorrent(const QByteArray& filename, const QByteArray& bytes);

private:
    struct Server;

    void serve(const httplib::Request& request, httplib::Response& response);
    bool holdAnswer();  // false when released by stop()
    bool authorized(const ReceivedRequest& request) const;
    void setStatus(std::uint64_t sequence, int status);

    const QByteArray realm_;
    std::unique_ptr<Server> server_;
    std::atomic<int> port_{0};

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<ReceivedRequest> requests_;
    std::vector<AddedTorrent> added_;
    std::uint64_t nextSequence_ = 0;
    std::vector<std::uint64_t> sequences_;  // parallel to requests_
    QByteArray user_;
    QByteArray password_;
    bool noAnswer_ = false;
    std::chrono::milliseconds answerDelay_{0};
    bool dropConnection_ = false;
    int failStatus_ = 0;
    bool stopping_ = false;
};

}  // namespace pelloran::fake

#pragma once
// HostileServer: a loopback HTTP/1.1 server on raw sockets that misbehaves on purpose, for tests
// of time limits, redirects and the handling of unexpected answers. It binds an ephemeral port
// on the given loopback address; the test starts it and stops it (the destructor stops too).
//
// Connection modes (the whole server):
//   Answer           reads each request completely, then answers by its routes. It is strict
//                    as real servers are: it waits for the body a Content-Length announces,
//                    even on a GET, so a GET carrying "Content-Length: 60" and no body stalls
//                    until the client gives up. Connections are kept alive.
//   Closed           the port is taken but nobody listens: every connection is refused.
//   Stall            accepts connections, reads nothing, answers nothing.
//   StallMidRequest  reads the request line and headers, then reads nothing more and never
//                    answers (a large body stops half-sent in the socket buffers).
//
// Replies: a route answers with a Reply, delivered whole, never, a byte at a time or cut off
// half-way (Delivery). Canned replies and scenarios for the hostile cases are below the class.
//
// Every request read is recorded (method, target, headers, body), as is every accepted
// connection, so tests can count sign-in posts or connections opened.
//
// Recipes for the usual hostile cases:
//     closed port             HostileServer closed(HostileServer::Mode::Closed)
//     stall / mid-request     Mode::Stall, Mode::StallMidRequest (with a large POST body)
//     trickle                 Reply{..., Delivery::Trickle} plus setTrickleInterval()
//     redirect elsewhere      a second server on "127.0.0.5" (another host for cookies and
//                             origins); route(..., redirect(307, other.url("/x").toStdString()))
//     login page everywhere   serveLoginPageForEverything(server, title)
//     404 download            route("GET", "/download/*", page("gone", 404))
//     login page as download  route("GET", "/download/*", loginPage(title))
//     uTorrent token          route("GET", "/gui/token.html", utorrentTokenPage(token)) with
//                             a token such as "t&action=remove&hash=x" or "t#frag"
//
// Example:
//     test::HostileServer site;
//     site.route("POST", "/user/account/login/", test::redirect(302, "/"));
//     site.route("GET", "/", test::page("<html><title>Home</title></html>"));
//     ASSERT_TRUE(site.start());
//     ... request site.url("/user/account/login/") ...
//     EXPECT_EQ(site.count("GET", "/"), 1);
//
// Thread contract: every method may be called from any thread; handlers run on the server's
// connection threads and must not block.

#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace pelloran::test {

using HostileHeaders = std::vector<std::pair<std::string, std::string>>;

struct HostileRequest {
    std::string method;
    std::string target;  // path and query as sent
    std::string path;    // target before "?"
    HostileHeaders headers;
    std::string body;
    bool complete = true;  // false: the server stopped reading before the end of the request
    int connection = 0;    // 1 for the first connection accepted, 2 for the next, ...

    std::string header(const std::string& name) const;  // "" when absent; name ignores case
    bool hasHeader(const std::string& name) const;
};

enum class Delivery {
    Whole,          // the full answer at once
    Never,          // nothing: the connection stays open and silent
    Trickle,        // one byte every trickle interval (setTrickleInterval), then it closes
    HalfThenStall,  // status line, headers and half the body, then nothing
};

struct Reply {
    int status = 200;
    HostileHeaders headers;  // Content-Length is added from the body unless given here
    std::string body;
    Delivery delivery = Delivery::Whole;
    // Closes the connection after a whole answer. Unless the headers say "Connection: close",
    // the client learns it only when it tries the connection again (a kept-alive connection
    // that the server dropped while idle).
    bool closeConnection = false;
};

class HostileServer {
public:
    enum class Mode { Answer, Closed, Stall, StallMidRequest };
    using Handler = std::function<Reply(const HostileRequest&)>;

    explicit HostileServer(Mode mode = Mode::Answer, std::string address = "127.0.0.1");
    ~HostileServer();
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    // Binds and serves. False when the address cannot be bound.
    bool start();
    // Closes every connection (stalled ones included) and the port; waits for its threads.
    void stop();

    // Routes for Mode::Answer. `method` "" matches any method; a `path` ending in "*" matches
    // every path that starts with the part before it. The route added last wins, so a test may
    // override a scenario's catch-all. Unmatched requests get a 404 page.
    void route(const std::string& method, const std::string& path, Handler handler);
    void route(const std::string& method, const std::string& path, Reply reply);

    // Delay between the bytes of a trickled answer (default 100 ms).
    void setTrickleInterval(std::chrono::milliseconds interval);

    int port() const { return port_; }
    std::string address() const { return address_; }
    QString hostPort() const;                // "127.0.0.1:PORT"
    QString url(const QString& path) const;  // "http://127.0.0.1:PORT" + path

    std::vector<HostileRequest> requests() const;
    int count(const std::string& method, const std::string& path) const;  // "" method: any
    int connectionCount() const { return connections_.load(); }
    void clearRecords();

private:
    struct Connection;

    void acceptLoop();
    void serve(int fd, int number);
    bool readRequest(int fd, std::string& buffer, HostileRequest& request, bool headOnly);
    void deliver(int fd, const Reply& reply);
    Reply answer(const HostileRequest& request);
    void record(const HostileRequest& request);
    bool recvMore(int fd, std::string& buffer);
    void sendAll(int fd, const std::string& bytes);
    void waitUntilStopped();
    bool pause(std::chrono::milliseconds interval);  // false when stopping

    const Mode mode_;
    const std::string address_;
    int port_ = 0;
    int listenFd_ = -1;
    int wakeFds_[2] = {-1, -1};
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    std::thread acceptThread_;

    mutable std::mutex mutex_;  // guards everything below
    std::condition_variable stopped_;
    std::vector<std::pair<std::string, std::string>> routeKeys_;
    std::vector<Handler> handlers_;
    std::chrono::milliseconds trickleInterval_{100};
    std::vector<HostileRequest> requests_;
    std::vector<int> openFds_;
    std::vector<std::thread> connectionThreads_;
};

// Canned replies.
Reply page(const std::string& html, int status = 200);
Reply redirect(int status, const std::string& location);
// A page whose <title> holds `loginTitle`, with the sign-in form, as a site shows when the
// session is missing.
Reply loginPage(const std::string& loginTitle);
// uTorrent's token page carrying `token` exactly as given (e.g. "t&action=remove&hash=x").
Reply utorrentTokenPage(const std::string& token);

// A site whose session never takes: the sign-in POST to `loginPath` is accepted (answered with
// a signed-in looking page, or with a 302 to "/" when `redirectAfterSignIn`) and sets a cookie
// whose path no page lies under, so it is never sent back; every other request gets the login
// page. Tests count the sign-in posts with count("POST", loginPath).
void serveLoginPageForEverything(HostileServer& server, const std::string& loginTitle,
                                 bool redirectAfterSignIn = false,
                                 const std::string& loginPath = "/user/account/login/");

}  // namespace pelloran::test

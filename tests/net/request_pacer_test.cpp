// The pace of a run nobody watches: requests to the paced hosts go one at a time and in the
// order they asked, others are not held, and once the site asked to wait longer than a request
// can, that request and every later one end at once, saying for how long, without reaching it.

#include "net/request_pacer.h"
#include "net/cookie_store.h"
#include "net/http_request.h"
#include "support/test_server.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>

#include <QThread>
#include <atomic>
#include <memory>
#include <vector>

namespace pelloran {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

TEST(RequestPacerTest, CoversTheConfiguredHostsOnly) {
    const RequestPacer pacer(milliseconds(10),
                             {QStringLiteral("127.0.0.1:8410"), QStringLiteral("Tracker.Example")});
    EXPECT_TRUE(pacer.covers(QStringLiteral("http://127.0.0.1:8410/torrents/browse")));
    EXPECT_FALSE(pacer.covers(QStringLiteral("http://127.0.0.1:9091/transmission/rpc")));
    EXPECT_TRUE(pacer.covers(QStringLiteral("http://tracker.example/download/1/x.torrent")));
    EXPECT_TRUE(pacer.covers(QStringLiteral("http://tracker.example:80/")));
    EXPECT_FALSE(pacer.covers(QStringLiteral("https://tracker.example/")));  // port 443
    EXPECT_FALSE(pacer.covers(QStringLiteral("http://forum.tracker.example/")));
    EXPECT_FALSE(pacer.covers(QStringLiteral("not a url")));
}

TEST(RequestPacerTest, PacedRequestsGoOneAtATimeAndOthersAreNotHeld) {
    test::TestServer site;
    std::atomic<int> inFlight{0};
    std::atomic<int> most{0};
    site.server().Get(".*", [&](const httplib::Request&, httplib::Response& res) {
        const int now = ++inFlight;
        int seen = most.load();
        while (now > seen && !most.compare_exchange_weak(seen, now)) {
        }
        QThread::msleep(30);
        --inFlight;
        res.set_content("<html>page</html>", "text/html");
    });
    ASSERT_TRUE(site.start());
    CookieStore cookies;
    RequestPacer pacer(milliseconds(5), {site.hostPort()});
    const NetContext net = NetContext{&cookies, nullptr}.withPacer(&pacer);

    std::vector<std::unique_ptr<QThread>> threads;
    for (int i = 0; i < 6; ++i) {
        threads.emplace_back(QThread::create([&, i] {
            HttpRequest r(site.url(QStringLiteral("/page/%1").arg(i)), net);
            r.request();
            EXPECT_TRUE(r.isResponseValid());
        }));
        threads.back()->start();
    }
    for (auto& t : threads) {
        t->wait();
    }
    EXPECT_EQ(most.load(), 1);
    EXPECT_EQ(pacer.started(), 6);

    // Another host through the same context is not paced (nor counted).
    test::TestServer client;
    client.server().Get("/", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("client", "text/plain");
    });
    ASSERT_TRUE(client.start());
    HttpRequest other(client.url(QStringLiteral("/")), net);
    other.request();
    EXPECT_TRUE(other.isResponseValid());
    EXPECT_EQ(pacer.started(), 6);
}

TEST(RequestPacerTest, AWaitLongerThanARequestCanEndsItAndTheNextAtOnce) {
    test::TestServer site;
    site.server().Get("/busy", [](const httplib::Request&, httplib::Response& res) {
        res.status = 429;
        res.set_header("Retry-After", "3600");
    });
    site.server().Get("/page", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html>page</html>", "text/html");
    });
    ASSERT_TRUE(site.start());
    CookieStore cookies;
    RequestPacer pacer(milliseconds(1), {site.hostPort()});
    const NetContext net = NetContext{&cookies, nullptr}.withPacer(&pacer);

    HttpRequest first(site.url(QStringLiteral("/busy")), net);
    first.request();
    EXPECT_EQ(first.statusCode(), 429);
    EXPECT_EQ(first.slowDown(), SlowDown{seconds(3600)});

    HttpRequest next(site.url(QStringLiteral("/page")), net);
    next.request();
    EXPECT_FALSE(next.urlResponse().has_value());
    ASSERT_TRUE(next.slowDown() && next.slowDown()->wait);
    EXPECT_GT(*next.slowDown()->wait, seconds(3500));
    EXPECT_EQ(site.requestCount(), 1u);
}

}  // namespace
}  // namespace pelloran

// Connection reuse on the wire: exchanges one after another share a kept-alive connection
// (cookies included), a connection the server dropped is replaced without the caller noticing,
// and exchanges running at once never share a handle.

#include "net/cookie_store.h"
#include "net/http_request.h"
#include "support/hostile_server.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>

#include <thread>

namespace pelloran {
namespace {

using test::HostileServer;

class ConnectionPoolTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.route("", "*", [](const test::HostileRequest& r) {
            return test::page(r.method + " " + r.target + " cookie=" + r.header("Cookie"));
        });
        test::Reply withCookie = test::page("<html>set</html>");
        withCookie.headers.emplace_back("Set-Cookie", "sid=kept; Path=/");
        server.route("GET", "/set", withCookie);
        server.route("POST", "/moved", test::redirect(302, "/landing"));
        ASSERT_TRUE(server.start());
    }

    std::optional<QString> get(const QString& path) {
        HttpRequest r(server.url(path), NetContext{&cookies, nullptr});
        r.setTimeout(10);
        r.request();
        return r.result();
    }

    HostileServer server;
    CookieStore cookies;
};

TEST_F(ConnectionPoolTest, ExchangesOneAfterAnotherShareOneConnection) {
    EXPECT_EQ(get(QStringLiteral("/set")), QStringLiteral("<html>set</html>"));
    EXPECT_EQ(get(QStringLiteral("/one")), QStringLiteral("GET /one cookie=sid=kept"));
    HttpRequest post(server.url(QStringLiteral("/moved")), NetContext{&cookies, nullptr});
    post.setType(QStringLiteral("POST"));
    post.setPostData(QStringLiteral("a=1"));
    post.request();
    EXPECT_EQ(post.result(), QStringLiteral("GET /landing cookie=sid=kept"));
    EXPECT_EQ(get(QStringLiteral("/two")), QStringLiteral("GET /two cookie=sid=kept"));

    EXPECT_EQ(server.requests().size(), 5u);
    EXPECT_EQ(server.connectionCount(), 1);
}

TEST_F(ConnectionPoolTest, DroppedConnectionIsReplaced) {
    // The server closes after answering: once saying so, once silently (as an idle connection
    // times out on a real server). The next exchange still gets its page.
    test::Reply announced = test::page("<html>bye</html>");
    announced.headers.emplace_back("Connection", "close");
    test::Reply silent = test::page("<html>bye</html>");
    silent.closeConnection = true;
    server.route("GET", "/announced", announced);
    server.route("GET", "/silent", silent);

    EXPECT_EQ(get(QStringLiteral("/announced")), QStringLiteral("<html>bye</html>"));
    EXPECT_EQ(get(QStringLiteral("/after-announced")),
              QStringLiteral("GET /after-announced cookie="));
    EXPECT_EQ(get(QStringLiteral("/silent")), QStringLiteral("<html>bye</html>"));
    EXPECT_EQ(get(QStringLiteral("/after-silent")), QStringLiteral("GET /after-silent cookie="));
    EXPECT_EQ(server.connectionCount(), 3);
}

TEST_F(ConnectionPoolTest, ExchangesAtOnceEachGetTheirOwnAnswer) {
    constexpr int kThreads = 12;
    std::vector<std::optional<QString>> results(kThreads);
    std::vector<std::thread> threads;
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < kThreads; ++i) {
            threads.emplace_back([this, i, &results] {
                results[i] = get(QStringLiteral("/page/") + QString::number(i));
            });
        }
        for (std::thread& t : threads) {
            t.join();
        }
        threads.clear();
        for (int i = 0; i < kThreads; ++i) {
            EXPECT_EQ(results[i], QStringLiteral("GET /page/%1 cookie=").arg(i));
        }
    }
    EXPECT_LE(server.connectionCount(), 2 * kThreads);
}

}  // namespace
}  // namespace pelloran

// Time limits on the wire: whatever a server does (refuse, stall before, during or after the
// request, trickle its answer, redirect slowly), an exchange ends within its limit with no
// response; an action's deadline cuts every exchange inside it, and the wait for a re-login.
// The outcomes are asserted, never durations.

#include "net/cookie_store.h"
#include "net/deadline.h"
#include "net/http_request.h"
#include "net/session.h"
#include "support/hostile_server.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>

#include <atomic>

namespace pelloran {
namespace {

using test::Delivery;
using test::HostileServer;
using Mode = HostileServer::Mode;

// A page far longer than what trickles through within a limit.
test::Reply longPage(Delivery delivery) {
    test::Reply reply =
        test::page("<html><title>Slow</title>" + std::string(4096, 'x') + "</html>");
    reply.delivery = delivery;
    return reply;
}

void expectNoResponse(const HttpRequest& r) {
    EXPECT_FALSE(r.urlResponse().has_value());
    EXPECT_FALSE(r.isResponseValid());
    EXPECT_TRUE(r.responseData().isEmpty());
    EXPECT_EQ(r.result(), std::optional<QString>(QString()));
}

TEST(TimeLimitTest, HostileServersEndTheExchangeWithNoResponse) {
    struct Case {
        const char* what;
        Mode mode;
        Delivery delivery;
        bool largePost;  // a body too large for the socket buffers: sending it stalls too
    };
    const Case cases[] = {
        {"port nobody listens on", Mode::Closed, Delivery::Whole, false},
        {"accepts and reads nothing", Mode::Stall, Delivery::Whole, false},
        {"accepts and reads nothing, while sending a body", Mode::Stall, Delivery::Whole, true},
        {"stops reading mid-request", Mode::StallMidRequest, Delivery::Whole, true},
        {"reads the request, never answers", Mode::Answer, Delivery::Never, false},
        {"answers half the body", Mode::Answer, Delivery::HalfThenStall, false},
        {"trickles the answer", Mode::Answer, Delivery::Trickle, false},
    };
    CookieStore cookies;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HostileServer server(c.mode);
        server.route("", "*", longPage(c.delivery));
        server.setTrickleInterval(std::chrono::milliseconds(50));
        ASSERT_TRUE(server.start());
        HttpRequest r(server.url(QStringLiteral("/page")), NetContext{&cookies, nullptr});
        if (c.largePost) {
            r.setType(QStringLiteral("POST"));
            r.setPostData(QString(8 * 1024 * 1024, QLatin1Char('a')));
        }
        r.setTimeout(1);
        r.request();
        expectNoResponse(r);
    }
}

TEST(TimeLimitTest, OneLimitCoversEveryRedirectHop) {
    // Each hop trickles a 55-byte redirect, 25 ms a byte: about 1.4 s a hop. One hop fits in
    // the 2 s limit, two don't; a limit per hop would follow both and deliver the page.
    HostileServer server;
    for (const auto& [from, to] : {std::pair{"/a", "/b"}, std::pair{"/b", "/end"}}) {
        test::Reply hop{302, {{"Location", to}}, "", Delivery::Trickle};
        server.route("GET", from, hop);
    }
    server.route("GET", "/end", test::page("<html>end</html>"));
    server.setTrickleInterval(std::chrono::milliseconds(25));
    ASSERT_TRUE(server.start());

    CookieStore cookies;
    HttpRequest r(server.url(QStringLiteral("/a")), NetContext{&cookies, nullptr});
    r.setTimeout(2);
    r.request();
    expectNoResponse(r);
    EXPECT_EQ(server.count("GET", "/end"), 0);
}

TEST(TimeLimitTest, ActionDeadlineCutsTheExchangeAndStopsTheNextOne) {
    HostileServer stalled(Mode::Stall);
    ASSERT_TRUE(stalled.start());
    CookieStore cookies;
    const NetContext net =
        NetContext{&cookies, nullptr}.withDeadline(startAction(std::chrono::milliseconds(800)));

    HttpRequest first(stalled.url(QStringLiteral("/check")), net);  // its own limit: 60 s
    first.request();
    expectNoResponse(first);
    // The deadline has passed: the next exchange of the same action doesn't even connect.
    HttpRequest second(stalled.url(QStringLiteral("/form")), net);
    second.setType(QStringLiteral("POST"));
    second.setPostData(QStringLiteral("password=secret"));
    second.request();
    expectNoResponse(second);
    EXPECT_EQ(stalled.connectionCount(), 1);
}

TEST(TimeLimitTest, WaitForAReloginEndsAtTheActionDeadline) {
    const std::string title = "Login :: Test Tracker";
    HostileServer site;
    test::serveLoginPageForEverything(site, title);
    ASSERT_TRUE(site.start());
    CookieStore cookies;
    Session session(site.url(QStringLiteral("/user/account/login/")),
                    QString::fromStdString(title));
    session.setShowLogin(true);
    std::atomic<int> relogins{0};
    session.setReloginHandler([&] { ++relogins; });  // a re-login that never comes back

    const NetContext net =
        NetContext{&cookies, &session}.withDeadline(startAction(std::chrono::milliseconds(800)));
    HttpRequest r(site.url(QStringLiteral("/torrents/browse")), net);
    r.request();
    EXPECT_FALSE(r.result().has_value()) << "the login page must not stand in for the page";
    EXPECT_EQ(r.sessionStop(), SessionStop::OutOfTime);
    EXPECT_EQ(relogins.load(), 1);
    EXPECT_EQ(site.count("GET", "/torrents/browse"), 1);
}

}  // namespace
}  // namespace pelloran

// A closing program's cancellation on the wire: an exchange waiting anywhere on a server that
// never finishes ends as soon as it is cancelled, with no response, rather than at its own
// limit; nothing starts once cancelled; a retry's pause ends too. The waits below are far
// shorter than the exchanges' own limits, so an exchange that ignored the cancellation fails
// them; no duration is asserted.

#include "net/cancellation.h"
#include "net/cookie_store.h"
#include "net/deadline.h"
#include "net/http_request.h"
#include "net/request_pacer.h"
#include "support/hostile_server.h"

#include <gtest/gtest.h>

#include <QTest>
#include <atomic>
#include <functional>
#include <thread>

namespace pelloran {
namespace {

using test::Delivery;
using test::HostileServer;
using Mode = HostileServer::Mode;

constexpr int kExchangeLimitSeconds = 60;
constexpr int kMuchSoonerMs = 15000;

TEST(CancellationTest, CancelEndsAnExchangeWhereverItWaits) {
    struct Case {
        const char* what;
        Mode mode;
        Delivery delivery;
    };
    const Case cases[] = {
        {"accepts and reads nothing", Mode::Stall, Delivery::Whole},
        {"reads the request, never answers", Mode::Answer, Delivery::Never},
        {"answers half the body", Mode::Answer, Delivery::HalfThenStall},
        {"trickles the answer", Mode::Answer, Delivery::Trickle},
    };
    CookieStore cookies;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HostileServer server(c.mode);
        test::Reply reply = test::page("<html>" + std::string(4096, 'x') + "</html>");
        reply.delivery = c.delivery;
        server.route("", "*", reply);
        server.setTrickleInterval(std::chrono::milliseconds(200));
        ASSERT_TRUE(server.start());

        Cancellation cancellation;
        const NetContext net{.cookies = &cookies, .cancellation = &cancellation};
        std::atomic<bool> ended{false};
        std::optional<UrlLoadResponse> response;
        QByteArray body;
        std::thread exchange([&] {
            HttpRequest r(server.url(QStringLiteral("/push")), net);
            r.setTimeout(kExchangeLimitSeconds);
            r.request();
            response = r.urlResponse();
            body = r.responseData();
            ended = true;
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.connectionCount() == 1; }, 5000));
        cancellation.cancel();
        const bool endedSooner = QTest::qWaitFor([&] { return ended.load(); }, kMuchSoonerMs);
        server.stop();  // lets an exchange that ignored the cancellation end too
        exchange.join();
        EXPECT_TRUE(endedSooner);
        EXPECT_FALSE(response.has_value());
        EXPECT_TRUE(body.isEmpty());
    }
}

TEST(CancellationTest, NothingStartsOnceCancelledAndPausesEnd) {
    HostileServer server;
    server.route("", "*", test::page("<html>page</html>"));
    ASSERT_TRUE(server.start());
    CookieStore cookies;
    Cancellation cancellation;
    const NetContext net{.cookies = &cookies, .cancellation = &cancellation};

    // Before: exchanges run as usual, and on the connection they keep.
    HttpRequest before(server.url(QStringLiteral("/a")), net);
    before.request();
    EXPECT_EQ(before.result(), QStringLiteral("<html>page</html>"));

    std::atomic<bool> paused{false};
    std::atomic<bool> pauseKept{true};
    std::thread sleeper([&] {
        paused = true;
        pauseKept = cancellation.pauseUntil(QDeadlineTimer(kExchangeLimitSeconds * 1000));
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return paused.load(); }, 5000));
    cancellation.cancel();
    sleeper.join();
    EXPECT_FALSE(pauseKept.load());
    EXPECT_FALSE(cancellation.pauseUntil(QDeadlineTimer(kExchangeLimitSeconds * 1000)));

    HttpRequest after(server.url(QStringLiteral("/b")), net);
    after.request();
    EXPECT_FALSE(after.urlResponse().has_value());
    EXPECT_EQ(server.count("", "/b"), 0);
    EXPECT_EQ(server.connectionCount(), 1);
}

TEST(CancellationTest, WaitsOnTheirOwnClockEndToo) {
    // A wait the site asked for, in a pacer's queue, and a pause between two asks of a client.
    using std::chrono::seconds;
    const struct {
        const char* what;
        std::function<bool(Cancellation*)> wait;  // true when it waited its whole time
    } cases[] = {
        {"pacer",
         [](Cancellation* c) {
             RequestPacer pacer(std::chrono::milliseconds(0), {QStringLiteral("site.test")});
             pacer.holdFor(seconds(kExchangeLimitSeconds));
             const PacedTurn turn(&pacer, QStringLiteral("http://site.test/a"),
                                  QDeadlineTimer(QDeadlineTimer::Forever),
                                  seconds(2 * kExchangeLimitSeconds), c);
             return turn.granted();
         }},
        {"pause",
         [](Cancellation* c) {
             return pauseWithin(seconds(kExchangeLimitSeconds),
                                QDeadlineTimer(QDeadlineTimer::Forever), c);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Cancellation cancellation;
        std::atomic<bool> started{false};
        std::atomic<bool> ended{false};
        std::atomic<bool> waitedOut{true};
        std::thread waiter([&] {
            started = true;
            waitedOut = c.wait(&cancellation);
            ended = true;
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return started.load(); }, 5000));
        QTest::qWait(50);  // into the wait
        cancellation.cancel();
        EXPECT_TRUE(QTest::qWaitFor([&] { return ended.load(); }, kMuchSoonerMs));
        waiter.join();
        EXPECT_FALSE(waitedOut.load());
    }
}

}  // namespace
}  // namespace pelloran

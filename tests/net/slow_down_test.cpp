// A server that asks to slow down: Retry-After read as seconds or as an HTTP date, and on the
// wire a request waits such an answer out once when it fits in its time, never twice, and
// otherwise ends saying for how long.

#include "net/slow_down.h"
#include "net/cookie_store.h"
#include "net/http_request.h"
#include "support/hostile_server.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>

#include <atomic>

namespace pelloran {
namespace {

using std::chrono::seconds;

TEST(SlowDownTest, RetryAfterIsSecondsOrAnHttpDate) {
    const QDateTime now =
        QDateTime::fromString(QStringLiteral("2024-03-01T12:00:00Z"), Qt::ISODate);
    const struct {
        const char* value;
        std::optional<seconds> wait;
    } cases[] = {
        {"120", seconds(120)},
        {" 2 ", seconds(2)},
        {"0", seconds(0)},
        {"Fri, 01 Mar 2024 12:01:30 GMT", seconds(90)},
        {"Fri, 01 Mar 2024 11:00:00 GMT", seconds(0)},  // already past
        {"99999999999999999999", seconds(365 * 24 * 3600)},
        {"-5", std::nullopt},
        {"1.5", std::nullopt},
        {"soon", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(retryAfterDelay(c.value, now), c.wait) << c.value;
    }
}

TEST(SlowDownTest, OnlyTooManyRequestsOrUnavailableWithAWaitAskToSlowDown) {
    const HeaderList inTwo{{"Retry-After", "2"}};
    EXPECT_EQ(slowDownAnswer(429, inTwo), SlowDown{seconds(2)});
    EXPECT_EQ(slowDownAnswer(503, inTwo), SlowDown{seconds(2)});
    EXPECT_EQ(slowDownAnswer(429, {}), SlowDown{});
    EXPECT_EQ(slowDownAnswer(503, {}), std::nullopt);  // an outage, not a request
    EXPECT_EQ(slowDownAnswer(200, inTwo), std::nullopt);
    EXPECT_EQ(slowDownAnswer(500, inTwo), std::nullopt);

    EXPECT_EQ(slowDownMessage(SlowDown{seconds(45)}),
              QStringLiteral("The site asked to slow down for 45 seconds. Try again after that."));
    EXPECT_EQ(waitInWords(seconds(121)), QStringLiteral("3 minutes"));
    EXPECT_EQ(waitInWords(seconds(1)), QStringLiteral("1 second"));
    EXPECT_EQ(waitInWords(seconds(3 * 3600 + 1)), QStringLiteral("4 hours"));
    EXPECT_EQ(slowDownMessage(SlowDown{}),
              QStringLiteral("The site asked to slow down. Try again later."));
}

test::Reply busy(int status, const std::string& retryAfter) {
    test::Reply reply = test::page("<html><title>Busy</title></html>", status);
    if (!retryAfter.empty()) {
        reply.headers.emplace_back("Retry-After", retryAfter);
    }
    return reply;
}

TEST(SlowDownWireTest, WaitedOutOnceWhenItFitsAndNeverTwice) {
    const test::Reply ok = test::page("<html><title>Page</title>rows</html>");
    const struct {
        const char* label;
        std::vector<test::Reply> replies;  // in turn; the last one repeats
        int asked;
        bool valid;
        std::optional<SlowDown> slowDown;
    } cases[] = {
        {"waited out, then the page", {busy(429, "1"), ok}, 2, true, std::nullopt},
        {"503 with a wait", {busy(503, "1"), ok}, 2, true, std::nullopt},
        {"asks again after the repeat",
         {busy(429, "1"), busy(429, "1"), ok},
         2,
         false,
         SlowDown{seconds(1)}},
        {"longer than the request's limit",
         {busy(429, "120"), ok},
         1,
         false,
         SlowDown{seconds(120)}},
        {"no wait named", {busy(429, ""), ok}, 1, false, SlowDown{}},
        {"an outage", {busy(503, ""), ok}, 1, false, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        test::HostileServer server;
        auto next = std::make_shared<std::atomic<size_t>>(0);
        server.route("GET", "/page", [replies = c.replies, next](const test::HostileRequest&) {
            const size_t n = next->fetch_add(1);
            return replies[std::min(n, replies.size() - 1)];
        });
        ASSERT_TRUE(server.start());
        CookieStore cookies;
        HttpRequest request(server.url(QStringLiteral("/page")), NetContext{&cookies, nullptr});
        request.setTimeout(10);
        request.request();
        EXPECT_EQ(server.count("GET", "/page"), c.asked);
        EXPECT_EQ(request.isResponseValid(), c.valid);
        EXPECT_EQ(request.slowDown(), c.slowDown);
    }
}

}  // namespace
}  // namespace pelloran

// The session while its front end goes away: a request that meets the login page after the
// front end gave up ends instead of waiting for a sign-in nobody will make, a handler's owner
// that removes it is never called afterwards, and closing is for good. Each case was a hang or
// a call into a destroyed object before; the rounds make the interleavings vary (run the suite
// with --gtest_repeat to vary them more).

#include "net/http_request.h"
#include "support/net_fixture.h"

#include <QTest>
#include <atomic>
#include <thread>
#include <vector>

namespace pelloran {
namespace {

using test::NetFixture;

const std::string kLoginPage =
    "<html><head><title>Login :: Test Tracker</title></head><body>form</body></html>";

class SessionRaceTest : public NetFixture {
protected:
    void SetUp() override {
        // A site whose every page is its login page: each request asks for a re-login.
        server.server().Get(".*", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(kLoginPage, "text/html");
        });
        startServer();
        session->setShowLogin(true);
        session->setSessionValidated(true);
        // A minute passes between re-logins: the limit on them never steps in here.
        session->setClock([this] { return now += std::chrono::minutes(1); });
    }

    // Runs a request on its own thread; true once it ended within `ms` (a request that waits
    // for ever fails the test rather than hang it).
    bool requestEnds(SessionStop* stop, int ms = 10000) {
        std::atomic<bool> ended{false};
        std::thread t([&] {
            HttpRequest r(server.url(QStringLiteral("/list")), net());
            r.request();
            *stop = r.sessionStop();
            ended = true;
        });
        const bool inTime = QTest::qWaitFor([&] { return ended.load(); }, ms);
        if (!inTime) {
            // Let it go, so the thread can be joined: its repeat no longer counts as lost.
            session->setShowLogin(false);
            session->setSessionValidated(true);
        }
        t.join();
        return inTime;
    }

    std::chrono::steady_clock::time_point now{};
};

TEST_F(SessionRaceTest, ARequestMeetingTheLoginPageAfterTheFrontEndGaveUpEnds) {
    // The front end is going: it gave up on the waits and its handler is gone. A request that
    // passed the "main interface shows" check just before must not start a re-login that no
    // one runs and then wait for it.
    session->abandonWaits();
    SessionStop stop = SessionStop::None;
    ASSERT_TRUE(requestEnds(&stop));
    EXPECT_EQ(stop, SessionStop::Abandoned);
    EXPECT_EQ(session->reloginCount(), 0);

    // A sign-in by hand is the one thing that lifts it.
    int handlerCalls = 0;
    session->setReloginHandler([&] {
        ++handlerCalls;
        session->signInAccepted();
    });
    session->signInAccepted();
    ASSERT_TRUE(requestEnds(&stop));
    EXPECT_EQ(stop, SessionStop::KeepsAsking);
    EXPECT_EQ(handlerCalls, 1);
}

TEST_F(SessionRaceTest, RemovingAHandlerWaitsForTheCallInProgress) {
    constexpr int kRounds = 20;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        std::atomic<bool> ownerAlive{true};
        std::atomic<bool> inCall{false};
        std::atomic<int> callsIntoDeadOwner{0};
        session->setReloginHandler([&] {
            inCall = true;
            // Long enough for a removal that doesn't wait to return meanwhile.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (!ownerAlive.load()) {
                ++callsIntoDeadOwner;
            }
        });
        std::thread request([&] { session->sessionInvalidated(); });
        const bool called = QTest::qWaitFor([&] { return inCall.load(); }, 5000);
        session->setReloginHandler({});  // the owner's destructor
        ownerAlive = false;
        request.join();
        ASSERT_TRUE(called);
        EXPECT_EQ(callsIntoDeadOwner.load(), 0);
        session->setSessionValidated(true);
    }
}

TEST_F(SessionRaceTest, TearingDownWhileRequestsMeetTheLostSessionNeverHangsNorCallsTheGoneOwner) {
    constexpr int kRounds = 10;
    constexpr int kRequests = 6;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        session->setSessionValidated(true);
        session->signInAccepted();  // a fresh run of the front end
        std::atomic<bool> ownerAlive{true};
        std::atomic<int> callsIntoDeadOwner{0};
        // The front end's re-login never comes back while it is torn down.
        session->setReloginHandler([&] {
            if (!ownerAlive.load()) {
                ++callsIntoDeadOwner;
            }
        });
        std::atomic<int> ended{0};
        std::vector<std::thread> requests;
        for (int i = 0; i < kRequests; ++i) {
            requests.emplace_back([&] {
                HttpRequest r(server.url(QStringLiteral("/list")), net());
                r.request();
                ++ended;
            });
        }
        // Tear down at whatever point the requests have reached.
        std::this_thread::sleep_for(std::chrono::milliseconds(round % 4));
        session->setShowLogin(false);
        session->abandonWaits();
        session->setReloginHandler({});
        ownerAlive = false;
        const bool allEnded = QTest::qWaitFor([&] { return ended.load() == kRequests; }, 10000);
        if (!allEnded) {
            session->setSessionValidated(true);  // showLogin is false: their repeats end
        }
        for (std::thread& t : requests) {
            t.join();
        }
        EXPECT_TRUE(allEnded);
        EXPECT_EQ(callsIntoDeadOwner.load(), 0);
        session->setShowLogin(true);
    }
}

TEST_F(SessionRaceTest, ClosingIsForGood) {
    std::atomic<int> handlerCalls{0};
    session->setReloginHandler([&] { ++handlerCalls; });
    session->close();
    // Whatever is reported afterwards, nobody waits and no handler runs.
    session->signInAccepted();
    session->setSessionValidated(true);
    SessionStop stop = SessionStop::None;
    ASSERT_TRUE(requestEnds(&stop));
    EXPECT_EQ(stop, SessionStop::Abandoned);
    session->sessionInvalidated();
    EXPECT_EQ(handlerCalls.load(), 0);
    EXPECT_TRUE(session->isClosed());
}

}  // namespace
}  // namespace pelloran

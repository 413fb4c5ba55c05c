// The lost-session rule on the wire: a site page that comes back as the login page while the
// main interface shows makes the request ask for a silent re-login, wait, and repeat itself.

#include "net/http_request.h"
#include "support/net_fixture.h"

#include <QTest>
#include <atomic>
#include <thread>

namespace pelloran {
namespace {

using test::NetFixture;

const std::string kLoginPage =
    "<html><head><title>Login :: Test Tracker</title></head><body>form</body></html>";

class LostSessionTest : public NetFixture {
protected:
    void SetUp() override {
        auto& s = server.server();
        s.Get("/list", [this](const httplib::Request&, httplib::Response& res) {
            if (signedIn.load()) {
                res.set_content("<html><title>Browse</title>rows</html>", "text/html");
            } else {
                res.set_content(kLoginPage, "text/html");
            }
        });
        s.Get("/user/account/login/", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(kLoginPage, "text/html");
        });
        // A site that never keeps a session: every page is the login page, whatever happened.
        s.Get("/storm", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(kLoginPage, "text/html");
        });
        startServer();
        session->setShowLogin(true);
        session->setSessionValidated(true);
    }

    void TearDown() override {
        if (signer.joinable()) {
            signer.join();
        }
    }

    // The front end's re-login: signs in on another thread after a moment, as the sign-in
    // operation would, then marks the session valid.
    void installRelogin(int delayMs) {
        session->setReloginHandler([this, delayMs] {
            ++handlerCalls;
            if (signer.joinable()) {
                signer.join();
            }
            signer = std::thread([this, delayMs] {
                std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
                signedIn = true;
                session->setSessionValidated(true);
            });
        });
    }

    size_t requestsTo(const std::string& path) {
        size_t n = 0;
        for (const auto& r : server.requests()) {
            n += r.path == path;
        }
        return n;
    }
    size_t listRequests() { return requestsTo("/list"); }

    // One request for the storm page, run to its end on this thread.
    SessionStop fetchStorm() {
        HttpRequest r(server.url(QStringLiteral("/storm")), net());
        r.request();
        EXPECT_FALSE(r.result().has_value());
        return r.sessionStop();
    }

    std::atomic<bool> signedIn{false};
    std::atomic<int> handlerCalls{0};
    std::thread signer;
};

TEST_F(LostSessionTest, RequestReloginsOnceAndReturnsRepeatedPage) {
    installRelogin(50);
    HttpRequest r(server.url(QStringLiteral("/list")), net());
    r.request();
    EXPECT_EQ(r.result(), QStringLiteral("<html><title>Browse</title>rows</html>"));
    EXPECT_EQ(handlerCalls.load(), 1);
    EXPECT_EQ(listRequests(), 2u);
    EXPECT_TRUE(session->sessionValidated());
}

TEST_F(LostSessionTest, OnlyTheRequestThatFindsTheSessionValidCallsRelogin) {
    // The first request starts the re-login; the second meets the lost session while the
    // re-login runs, finds the session already invalid, and only waits.
    std::atomic<bool> release{false};
    session->setReloginHandler([this, &release] {
        ++handlerCalls;
        signer = std::thread([this, &release] {
            while (!release.load()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            signedIn = true;
            session->setSessionValidated(true);
        });
    });
    std::optional<QString> first, second;
    std::thread a([&] {
        HttpRequest r(server.url(QStringLiteral("/list")), net());
        r.request();
        first = r.result();
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return handlerCalls.load() == 1; }, 5000));
    std::thread b([&] {
        HttpRequest r(server.url(QStringLiteral("/list")), net());
        r.request();
        second = r.result();
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return listRequests() == 2; }, 5000));
    release = true;
    a.join();
    b.join();
    EXPECT_EQ(handlerCalls.load(), 1);
    EXPECT_EQ(first, QStringLiteral("<html><title>Browse</title>rows</html>"));
    EXPECT_EQ(second, first);
}

TEST_F(LostSessionTest, NoWaitForLoginPageItselfOrWhileLoginFaceShows) {
    installRelogin(0);
    HttpRequest login(session->loginUrl(), net());
    login.request();
    EXPECT_EQ(login.result(), QString::fromStdString(kLoginPage));

    session->setShowLogin(false);  // e.g. the sign-in check at start-up
    HttpRequest check(server.url(QStringLiteral("/list")), net());
    check.request();
    EXPECT_EQ(check.result(), QString::fromStdString(kLoginPage));
    EXPECT_EQ(handlerCalls.load(), 0);
    EXPECT_TRUE(session->sessionValidated());
}

TEST_F(LostSessionTest, AbandonedWaitEndsRequestWithoutPage) {
    session->setReloginHandler([this] { ++handlerCalls; });  // a re-login that never succeeds
    std::optional<QString> result = QStringLiteral("unset");
    std::thread t([&] {
        HttpRequest r(server.url(QStringLiteral("/list")), net());
        r.request();
        result = r.result();
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return handlerCalls.load() == 1; }, 5000));
    session->abandonWaits();
    t.join();
    EXPECT_FALSE(result.has_value());
    EXPECT_EQ(listRequests(), 1u);
}

TEST_F(LostSessionTest, LoginPageRightAfterAnAcceptedReloginEndsTheRequest) {
    // The site takes the sign-in but answers the repeated request with its login page again:
    // the request ends without a page instead of signing in again for ever.
    session->setReloginHandler([this] {
        ++handlerCalls;
        session->signInAccepted();
    });
    EXPECT_EQ(fetchStorm(), SessionStop::KeepsAsking);
    EXPECT_EQ(handlerCalls.load(), 1);
    EXPECT_EQ(requestsTo("/storm"), 2u);
    EXPECT_EQ(session->keepsAskingCount(), 1);
    EXPECT_TRUE(session->sessionValidated());
}

TEST_F(LostSessionTest, ManyRequestsMeetingTheStormShareOneRelogin) {
    constexpr int kRequests = 8;
    std::atomic<bool> release{false};
    session->setReloginHandler([this, &release] {
        ++handlerCalls;
        signer = std::thread([this, &release] {
            while (!release.load()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            session->signInAccepted();
        });
    });
    std::vector<std::thread> threads;
    std::vector<SessionStop> stops(kRequests, SessionStop::None);
    for (int i = 0; i < kRequests; ++i) {
        threads.emplace_back([this, &stops, i] { stops[size_t(i)] = fetchStorm(); });
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return requestsTo("/storm") == size_t(kRequests); }, 5000));
    release = true;
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(handlerCalls.load(), 1);
    EXPECT_EQ(stops, std::vector<SessionStop>(kRequests, SessionStop::KeepsAsking));
    EXPECT_EQ(requestsTo("/storm"), size_t(2 * kRequests));
}

TEST_F(LostSessionTest, AtMostThreeReloginsAMinuteThenTheSessionCountsAsFailed) {
    std::chrono::steady_clock::time_point now{};
    session->setClock([&now] { return now; });
    session->setReloginHandler([this] {
        ++handlerCalls;
        session->signInAccepted();
    });
    std::atomic<int> refusals{0};
    session->setRefusalHandler([this, &refusals] {
        ++refusals;
        session->abandonWaits();  // as the command line does; the app shows its login face
    });
    struct Step {
        int atSecond;
        bool signInByHand;  // the member signs in again before the request
        SessionStop stop;
        int relogins;
        int refusals;
    };
    const Step steps[] = {
        {0, false, SessionStop::KeepsAsking, 1, 0},
        {10, false, SessionStop::KeepsAsking, 2, 0},
        {20, false, SessionStop::KeepsAsking, 3, 0},
        // A fourth within the minute is not started: the session failed, the request gives up.
        {59, false, SessionStop::Abandoned, 3, 1},
        // Still failed: no re-login is even asked for until somebody signs in.
        {59, false, SessionStop::Abandoned, 3, 1},
        // Signed in by hand, and the first re-login is a minute old: one may start again.
        {60, true, SessionStop::KeepsAsking, 4, 1},
        {61, true, SessionStop::Abandoned, 4, 2},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.atSecond);
        now = std::chrono::steady_clock::time_point{} + std::chrono::seconds(step.atSecond);
        if (step.signInByHand) {
            session->signInAccepted();
        }
        EXPECT_EQ(fetchStorm(), step.stop);
        EXPECT_EQ(handlerCalls.load(), step.relogins);
        EXPECT_EQ(refusals.load(), step.refusals);
    }
    EXPECT_EQ(session->reloginCount(), 4);
}

}  // namespace
}  // namespace pelloran

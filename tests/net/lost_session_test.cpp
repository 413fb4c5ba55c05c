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

    size_t listRequests() {
        size_t n = 0;
        for (const auto& r : server.requests()) {
            n += r.path == "/list";
        }
        return n;
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

}  // namespace
}  // namespace pelloran

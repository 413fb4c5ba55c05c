// Signing in against sites that behave like real (strict) servers or like hostile ones: the
// usual 302 to the front page, a 307 that would re-post the password elsewhere, and sites that
// stall, where the whole attempt ends at its one deadline.

#include "net/cookie_store.h"
#include "net/deadline.h"
#include "net/operation_queue.h"
#include "net/session.h"
#include "site/captcha.h"
#include "site/sign_in.h"
#include "site/site_config.h"
#include "site/user_info.h"
#include "support/hostile_server.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>

#include <QTest>

namespace pelloran {
namespace {

using test::HostileServer;

const std::string kLoginTitle = "Login :: Strict Tracker";
const std::string kLoginPath = "/user/account/login/";

// Runs one operation on a queue and waits on the UI thread for what it delivers.
template <typename Op, typename... Args>
auto runOperation(Args&&... args) {
    using Result = std::decay_t<decltype(std::declval<Op>().returnObject())>;
    std::optional<Result> got;
    OperationQueue queue(1);
    QObject context;
    queue.addOperation(std::make_unique<Op>(std::forward<Args>(args)..., &context,
                                            [&](Result r) { got = std::move(r); }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return got.has_value(); }, 90000));
    return got.value_or(Result{});
}

class SignInWireTest : public ::testing::Test {
protected:
    // `site` must have its routes; starts it and points the configuration at it.
    void startSite(HostileServer& site) {
        ASSERT_TRUE(site.start());
        config.siteHost = site.hostPort();
        config.loginTitle = QString::fromStdString(kLoginTitle);
        session = std::make_unique<Session>(config.loginUrl(), config.loginTitle);
    }

    SiteContext siteContext() {
        return SiteContext{NetContext{&cookies, session.get()}, &config, nullptr, &userInfo};
    }

    SignInVerdict signIn(const SiteContext& attempt) {
        auto request = runOperation<FetchPageSignIn>(config.loginUrl(), QStringLiteral("demo"),
                                                     QStringLiteral("pa&ss"), std::nullopt,
                                                     QString(), attempt);
        return request ? judgeSignIn(*request, *session) : SignInVerdict{false, QString()};
    }

    HostileServer site;
    SiteConfig config = SiteConfig::buildDefaults();
    CookieStore cookies;
    std::unique_ptr<Session> session;
    UserInfo userInfo;
};

TEST_F(SignInWireTest, RedirectToTheFrontPageAfterTheFormSignsIn) {
    test::Reply signedIn = test::redirect(302, "/");
    signedIn.headers.emplace_back("Set-Cookie", "sid=42; Path=/");
    site.route("POST", kLoginPath, signedIn);
    site.route("GET", "/", [](const test::HostileRequest& r) {
        return r.header("Cookie") == "sid=42" ? test::page("<html><title>Front</title></html>")
                                              : test::loginPage(kLoginTitle);
    });
    ASSERT_NO_FATAL_FAILURE(startSite(site));

    const SignInVerdict verdict = signIn(siteContext());
    EXPECT_TRUE(verdict.ok) << verdict.message.toStdString();
    ASSERT_EQ(site.count("GET", "/"), 1);
    const test::HostileRequest front = site.requests().back();
    EXPECT_TRUE(front.complete);
    EXPECT_FALSE(front.hasHeader("Content-Length"));
}

TEST_F(SignInWireTest, RepostOfThePasswordToAnotherHostIsAConnectionError) {
    HostileServer elsewhere(HostileServer::Mode::Answer, "127.0.0.5");
    elsewhere.route("", "*", test::page("<html><title>Welcome back</title></html>"));
    ASSERT_TRUE(elsewhere.start());
    site.route("POST", kLoginPath,
               test::redirect(307, elsewhere.url(QStringLiteral("/steal")).toStdString()));
    ASSERT_NO_FATAL_FAILURE(startSite(site));

    const SignInVerdict verdict = signIn(siteContext());
    EXPECT_FALSE(verdict.ok);
    EXPECT_EQ(verdict.message, QString(kConnectionErrorMessage));
    EXPECT_EQ(elsewhere.requests().size(), 0u);
    EXPECT_FALSE(userInfo.username().has_value());
}

TEST_F(SignInWireTest, WholeAttemptEndsAtItsDeadlineWhenTheSiteStalls) {
    HostileServer stalled(HostileServer::Mode::Stall);
    ASSERT_NO_FATAL_FAILURE(startSite(stalled));
    // Each exchange alone may take 60 s; the attempt as a whole gets far less.
    const SiteContext attempt = siteContext().withDeadline(startAction(std::chrono::seconds(1)));

    auto check = runOperation<FetchPageLoginCheck>(config.sessionCheckUrl(), attempt);
    ASSERT_TRUE(check);
    EXPECT_FALSE(isStillSignedIn(*check, *session));
    const SignInVerdict verdict = signIn(attempt);
    EXPECT_EQ(verdict.message, QString(kConnectionErrorMessage));
    // The check used up the attempt's time: the form, with the password, never went out.
    EXPECT_EQ(stalled.connectionCount(), 1);
}

TEST_F(SignInWireTest, CaptchaLoaderStopsRetryingAtTheAttemptsDeadline) {
    HostileServer captchaService(HostileServer::Mode::Stall);
    ASSERT_TRUE(captchaService.start());
    site.route(
        "GET", kLoginPath,
        test::page(
            "<html><title>" + kLoginTitle + "</title><script type=\"text/javascript\" src=\"" +
            captchaService.url(QStringLiteral("/recaptcha/api/challenge?k=1")).toStdString() +
            "\"></script></html>"));
    ASSERT_NO_FATAL_FAILURE(startSite(site));
    const SiteContext attempt = siteContext().withDeadline(startAction(std::chrono::seconds(1)));

    // Left alone it would retry every 5 s, twelve times.
    const auto challenge = runOperation<FetchPageCaptcha>(config.loginUrl(), attempt);
    EXPECT_FALSE(challenge.has_value());
    EXPECT_EQ(captchaService.connectionCount(), 1);
}

}  // namespace
}  // namespace pelloran

// The login face against the demo site: automatic login, the failure messages, the CAPTCHA,
// the announcement, and the keyboard.

#include "app_fixture.h"

#include "remote/services.h"
#include "site/sign_in.h"
#include "ui/loading_indicator.h"
#include "ui/toggle_switch.h"

#include "support/test_server.h"
#include "support/wait_idle.h"

#include <QApplication>
#include <QLabel>
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace pelloran::test {
namespace {

using LoginFaceTest = AppTest;

TEST(RecordVersion, WritesOnlyWhenTheStoredVersionDiffers) {
    TempHome home;
    SettingsStore settings(home.path());
    EXPECT_TRUE(recordVersion(settings, QStringLiteral("0.1.0")));  // first launch
    EXPECT_FALSE(recordVersion(settings, QStringLiteral("0.1.0")));
    EXPECT_TRUE(recordVersion(settings, QStringLiteral("0.0.9")));  // older builds too
    EXPECT_EQ(SettingsStore(home.path()).string(keys::version), QStringLiteral("0.0.9"));
}

TEST_F(LoginFaceTest, FirstLaunchWaitsForTheMemberWithEmptyFields) {
    app->launch();
    LoginViewController* face = app->login();
    ASSERT_TRUE(app->waitForLoginFace());
    EXPECT_EQ(face->usernameField()->text(), QString());
    EXPECT_EQ(face->passwordField()->text(), QString());
    EXPECT_FALSE(face->automaticLoginSwitch()->isChecked());
    EXPECT_FALSE(face->captchaOn());
    EXPECT_EQ(face->backgroundName(), QStringLiteral("loginBackShort5.png"));
    EXPECT_EQ(app->settings().string(keys::version), QStringLiteral(PELLORAN_VERSION));
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_TRUE(site.requestLog().empty());  // automatic login is off
}

TEST_F(LoginFaceTest, AutomaticLoginPostsTheFormOnlyWhenTheSessionIsGone) {
    app->storeMemberCredentials(true);
    app->launch();
    ASSERT_TRUE(app->waitForMainInterface());
    EXPECT_EQ(app->loginPostCount(), 1);

    // Next start: the cookies survived, so the session check finds the member signed in.
    app->quit();
    site.clearRequestLog();
    app->launch();
    ASSERT_TRUE(app->waitForMainInterface());
    EXPECT_EQ(app->loginPostCount(), 0);
    bool checked = false;
    for (const demo::LoggedRequest& r : site.requestLog(QStringLiteral("site"))) {
        checked |= r.method == QLatin1String("GET") && r.path == QLatin1String("/torrents/browse");
    }
    EXPECT_TRUE(checked);
    EXPECT_EQ(app->login()->captchaChallenge(), QString());
}

TEST_F(LoginFaceTest, WrongPasswordSaysSoKeepsTheTypingAndStoresIt) {
    app->launch();
    app->signInByHand(site.memberName(), QStringLiteral("wrong & wrong"));
    QMessageBox* alert = app->waitForLoginAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alertTitle(alert), QStringLiteral("Login failed."));
    EXPECT_EQ(alertMessage(alert), QStringLiteral("Bad username or password."));
    EXPECT_EQ(alertButtons(alert), QStringList{QStringLiteral("Cancel")});
    EXPECT_TRUE(app->waitForLoginIdle());
    EXPECT_FALSE(LoadingIndicator::sharedInstance().isShown());
    LoginViewController* face = app->login();
    EXPECT_EQ(face->passwordField()->text(), QStringLiteral("wrong & wrong"));
    EXPECT_EQ(app->settings().string(keys::password), QStringLiteral("wrong & wrong"));
    EXPECT_EQ(app->settings().string(keys::automaticLogin), QStringLiteral("NO"));
    EXPECT_FALSE(face->captchaOn());
    EXPECT_FALSE(app->root().isMainInterfaceShown());
    tapAlertButton(alert, 0);
    EXPECT_TRUE(AppDriver::waitUntil([&] { return !face->alert(); }, 2000));
}

TEST_F(LoginFaceTest, CaptchaAppearsAndEachFailureBringsAFreshChallenge) {
    site.setRequireCaptcha(true);
    app->launch();
    app->signInByHand(site.memberName(), site.memberPassword());
    QMessageBox* alert = app->waitForLoginAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alertMessage(alert), QStringLiteral("Bad captcha image information.  Try again."));
    const std::optional<QString> first = app->waitForCaptchaPicture();
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(*first, site.lastCaptchaToken());
    LoginViewController* face = app->login();
    EXPECT_EQ(face->backgroundName(), QStringLiteral("loginBack5.png"));
    EXPECT_TRUE(AppDriver::waitUntil(
        [&] { return face->groupView()->y() == qRound(LoginViewController::kGroupYWithCaptcha); }));
    tapAlertButton(alert, 0);

    app->signInByHand(site.memberName(), site.memberPassword(), QStringLiteral("wrong words"));
    ASSERT_NE(app->waitForLoginAlert(), nullptr);
    EXPECT_TRUE(AppDriver::waitUntil(
        [&] { return face->captchaChallenge() && face->captchaChallenge() != first; }));
    ASSERT_TRUE(app->waitForCaptchaPicture().has_value());
    const QString second = face->captchaChallenge().value_or(QString());
    EXPECT_NE(second, *first);

    app->signInByHand(site.memberName(), site.memberPassword(),
                      site.captchaAnswerFor(second).value_or(QString()));
    ASSERT_TRUE(app->waitForMainInterface());
    EXPECT_EQ(face->captchaChallenge(), QString());  // the next sign-in posts the short form
    EXPECT_EQ(face->captchaField()->text(), QString());
}

TEST_F(LoginFaceTest, TheAnnouncementDecidesWhetherTheMemberGetsIn) {
    struct Case {
        QString reply;
        QString title;  // of the alert; "-" for none
        QString message;
        bool inBeforeTap;
        bool inAfterTap;
    };
    const Case cases[] = {
        {QStringLiteral("STOP:Closed for upgrades:back soon"), QStringLiteral("Login error"),
         QStringLiteral("Closed for upgrades"), false, false},
        {QStringLiteral("GO:Welcome back"), QString(), QStringLiteral("Welcome back"), false, true},
        {QString(), QStringLiteral("-"), QString(), true, true},
        {QStringLiteral("MAYBE:whatever"), QStringLiteral("-"), QString(), true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.toStdString());
        site.setAnnouncement(c.reply);
        AppDriver driver(site);
        driver.storeMemberCredentials(true);
        driver.launch();
        if (c.title == QLatin1String("-")) {
            ASSERT_TRUE(driver.waitForMainInterface());
            EXPECT_EQ(driver.login()->alert(), nullptr);
            continue;
        }
        QMessageBox* alert = driver.waitForLoginAlert();
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alertTitle(alert), c.title);
        EXPECT_EQ(alertMessage(alert), c.message);
        EXPECT_EQ(alertButtons(alert), QStringList{QStringLiteral("OK")});
        EXPECT_FALSE(LoadingIndicator::sharedInstance().isShown());
        EXPECT_EQ(driver.root().isMainInterfaceShown(), c.inBeforeTap);
        EXPECT_EQ(driver.login()->loginButton()->isEnabled(), !c.inAfterTap);
        tapAlertButton(alert, 0);
        if (c.inAfterTap) {
            EXPECT_TRUE(driver.waitForMainInterface());
        } else {
            ASSERT_TRUE(waitUntilIdle());
            EXPECT_FALSE(driver.root().isMainInterfaceShown());
        }
    }
}

TEST_F(LoginFaceTest, TheAnnouncementIsAskedWithoutHoldingUpTheWindow) {
    // An announcement endpoint that answers only when the test lets it.
    TestServer announcement;
    std::mutex mutex;
    std::condition_variable released;
    bool release = false;
    std::atomic<bool> asked{false};
    announcement.server().Get(
        "/pelloran.php", [&](const httplib::Request&, httplib::Response& res) {
            asked = true;
            std::unique_lock lock(mutex);
            released.wait_for(lock, std::chrono::seconds(20), [&] { return release; });
            res.set_content("GO:Hello", "text/plain");
        });
    ASSERT_TRUE(announcement.start());
    AppDriver::Options options;
    options.announceHost = announcement.hostPort();
    AppDriver driver(site, options);
    driver.storeMemberCredentials(true);
    driver.launch();
    // These waits run on the window's own thread: they only see the request arrive if that
    // thread is free while the answer is pending (the exchange's 3-second limit would
    // otherwise end it first and let the member in without the message).
    ASSERT_TRUE(AppDriver::waitUntil([&] { return asked.load(); }));
    ASSERT_TRUE(waitUntilIdle(20000, 1));  // all but the held announcement
    EXPECT_FALSE(driver.root().isMainInterfaceShown());
    EXPECT_EQ(driver.login()->alert(), nullptr);
    EXPECT_EQ(LoadingIndicator::sharedInstance().shownText(), QStringLiteral("Please wait..."));
    {
        std::lock_guard lock(mutex);
        release = true;
    }
    released.notify_all();
    QMessageBox* alert = driver.waitForLoginAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alertMessage(alert), QStringLiteral("Hello"));
    tapAlertButton(alert, 0);
    EXPECT_TRUE(driver.waitForMainInterface());
}

TEST_F(LoginFaceTest, ReturnMovesAlongTheFieldsAndNeverSignsIn) {
    app->launch();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&app->window()));
    LoginViewController* face = app->login();
    face->usernameField()->setFocus();
    QTest::keyClick(face->usernameField(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), face->passwordField());
    QTest::keyClick(face->passwordField(), Qt::Key_Return);
    EXPECT_FALSE(face->passwordField()->hasFocus());

    site.setRequireCaptcha(true);
    face->showCaptchaView();
    ASSERT_TRUE(app->waitForCaptchaPicture().has_value());
    face->passwordField()->setFocus();
    QTest::keyClick(face->passwordField(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), face->captchaField());
    QTest::keyClick(face->captchaField(), Qt::Key_Return);
    EXPECT_FALSE(face->captchaField()->hasFocus());
    EXPECT_EQ(app->loginPostCount(), 0);
}

}  // namespace
}  // namespace pelloran::test

// The silent re-login: a session lost while the main interface shows is renewed without the
// member, once for any number of requests; when it can't be, the member signs in by hand and
// the waiting requests go on.

#include "app_fixture.h"

#include "net/fetch_page.h"
#include "net/http_request.h"
#include "net/operation_queue.h"

#include <atomic>
#include <thread>

namespace pelloran::test {
namespace {

class ReloginTest : public AppTest {
protected:
    // Starts a GET of the browse page on `queue`; its page text lands in pages.
    void fetchBrowsePage(OperationQueue& queue) {
        const NetContext net = app->services().net();
        queue.addOperation(std::make_unique<FetchPageGeneric>(
            site.siteUrl(QStringLiteral("/torrents/browse")),
            [net](const QString& url) { return std::make_unique<HttpRequest>(url, net); }, &context,
            [this](std::optional<QString> page) {
                pages.append(page.value_or(QStringLiteral("(no page)")));
            }));
    }
    bool isListingPage(const QString& page) const {
        return !page.contains(site.loginTitle()) && page.contains(QStringLiteral("<title>"));
    }

    QObject context;
    QStringList pages;
};

TEST_F(ReloginTest, TwoRequestsMeetingTheLostSessionCauseOneSignIn) {
    launchSignedIn();
    site.clearRequestLog();
    site.expireAllSessions();
    // The sign-in answers slowly, so both reports land while it runs, however the threads
    // are scheduled.
    site.setRequestObserver([](const demo::LoggedRequest& r) {
        if (r.method == QLatin1String("POST")) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
    });
    // Two requests that both still saw the session as valid report it lost at the same moment.
    Session& session = app->services().session();
    std::atomic<int> ready{0};
    const auto report = [&] {
        ++ready;
        while (ready.load() < 2) {
        }
        session.sessionInvalidated();
    };
    std::thread first(report);
    std::thread second(report);
    first.join();
    second.join();
    OperationQueue queue(2);
    fetchBrowsePage(queue);
    fetchBrowsePage(queue);
    ASSERT_TRUE(AppDriver::waitUntil([&] { return pages.size() == 2; }));
    EXPECT_TRUE(isListingPage(pages[0])) << pages[0].left(300).toStdString();
    EXPECT_TRUE(isListingPage(pages[1])) << pages[1].left(300).toStdString();
    EXPECT_EQ(app->loginPostCount(), 1);
    // The member saw nothing of it.
    EXPECT_TRUE(app->root().isMainInterfaceShown());
    EXPECT_EQ(app->root().alert(), nullptr);
    EXPECT_TRUE(app->services().session().sessionValidated());
}

TEST_F(ReloginTest, AFailedReloginShowsTheLoginFaceAndTheRequestWaitsForTheMember) {
    launchSignedIn();
    // Stored credentials can't answer a CAPTCHA: the silent sign-in fails.
    site.setRequireCaptcha(true);
    site.expireAllSessions();
    OperationQueue queue(1);
    fetchBrowsePage(queue);
    ASSERT_TRUE(app->waitForLoginFace());
    EXPECT_EQ(app->login()->alert(), nullptr);
    EXPECT_EQ(app->root().alert(), nullptr);
    // The CAPTCHA is there at once, so the first attempt by hand can succeed.
    const std::optional<QString> token = app->waitForCaptchaPicture();
    ASSERT_TRUE(token.has_value());
    EXPECT_TRUE(pages.isEmpty());
    EXPECT_FALSE(app->services().session().sessionValidated());

    app->signInByHand(site.memberName(), site.memberPassword(),
                      site.captchaAnswerFor(*token).value_or(QString()));
    ASSERT_TRUE(app->waitForMainInterface());
    ASSERT_TRUE(AppDriver::waitUntil([&] { return pages.size() == 1; }));
    EXPECT_TRUE(isListingPage(pages[0])) << pages[0].left(300).toStdString();
}

}  // namespace
}  // namespace pelloran::test

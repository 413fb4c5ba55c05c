// The profile page, the forum tab and the site tab: what each shows and where each lets the
// member go.

#include "page_server.h"
#include "ui/loading_indicator.h"
#include "web/bar_buttons.h"
#include "web/forum_web_view_controller.h"
#include "web/profile_web_view_controller.h"
#include "web/site_web_view_controller.h"
#include "web_fixture.h"

#include <QDir>
#include <QDirIterator>
#include <QSignalSpy>

namespace pelloran::test {
namespace {

using web::ForumWebViewController;
using web::ProfileWebViewController;
using web::SiteWebViewController;

using PageScreensTest = WebFixture;

TEST_F(PageScreensTest, AProfileLinkDoesNothing) {
    PageServer pages;
    ASSERT_TRUE(pages.start());
    useSiteHost(pages.hostPort());
    auto* profile = show(std::make_unique<ProfileWebViewController>(
        webSession(), context(), pages.url(QStringLiteral("/profile/Zoe")), &list));
    EXPECT_FALSE(profile->backButton()->isEnabled());
    ASSERT_TRUE(waitForLoads(profile));
    QWebEnginePage* page = profile->webPage();

    EXPECT_TRUE(profile->backButton()->isEnabled());
    EXPECT_EQ(list.loaded, 1);
    EXPECT_EQ(
        js(page, QStringLiteral("document.querySelector('#profile h2').textContent")).toString(),
        QStringLiteral("Zoe"));
    EXPECT_EQ(js(page, QStringLiteral("document.querySelectorAll('a[href]').length")).toInt(), 0);

    // Neither a tap, nor a script, nor a load from outside takes the page anywhere.
    const QUrl shown = page->url();
    QSignalSpy refused(profile->webPage(), &web::WebPage::navigationRefused);
    js(page, QStringLiteral("document.getElementById('upload').click()"));
    js(page, QStringLiteral("location.href = '/torrent/2/Next'"));
    page->load(pages.url(QStringLiteral("/torrent/2/Next")));
    ASSERT_TRUE(waitFor([&] { return refused.count() == 2 && !profile->isLoading(); }));
    EXPECT_EQ(page->url(), shown);
    EXPECT_FALSE(LoadingIndicator::sharedInstance().isShown());
    EXPECT_TRUE(js(page, QStringLiteral("document.getElementById('profile') !== null")).toBool());
    for (const RecordedRequest& r : pages.requests()) {
        EXPECT_NE(r.path, "/torrent/2/Next");
    }
}

TEST_F(PageScreensTest, TheForumNeverLeavesItsHost) {
    auto* forum = show(std::make_unique<ForumWebViewController>(webSession(), context(), &list));
    ASSERT_TRUE(waitForLoads(forum));
    QWebEnginePage* page = forum->webPage();
    EXPECT_EQ(forum->url(), QStringLiteral("http://") + site.forumHost() + QLatin1Char('/'));
    EXPECT_TRUE(page->title().startsWith(QStringLiteral("Forums")));
    EXPECT_FALSE(LoadingIndicator::sharedInstance().isShown());
    const int frontPages = requestCount(QStringLiteral("forum"), QStringLiteral("/"));

    // A thread is on the forum's host: followed.
    js(page, QStringLiteral("document.querySelector('a[href=\"/thread/1\"]').click()"));
    ASSERT_TRUE(waitFor([&] { return page->url().path() == QLatin1String("/thread/1"); }));
    ASSERT_TRUE(waitForLoads(forum, 2));

    // The tracker is not: the forum's front page comes back instead, fetched as a phone.
    js(page, QStringLiteral("document.querySelector('a[href$=\"/torrents/browse\"]').click()"));
    ASSERT_TRUE(waitFor([&] {
        return requestCount(QStringLiteral("forum"), QStringLiteral("/")) == frontPages + 1 &&
               page->title().startsWith(QStringLiteral("Forums")) && !forum->isLoading();
    }));
    QString lastFrontPageAgent;
    for (const demo::LoggedRequest& r : site.requestLog(QStringLiteral("forum"))) {
        if (r.path == QLatin1String("/")) {
            lastFrontPageAgent = r.userAgent();
        }
    }
    EXPECT_TRUE(lastFrontPageAgent.contains(QLatin1String("iPhone")));
    EXPECT_EQ(requestCount(QStringLiteral("site"), QStringLiteral("/torrents/browse")), 0);
    EXPECT_EQ(list.loaded, 0);  // the tabs lock nothing
}

TEST_F(PageScreensTest, TheSiteTabShowsTheHomePageEachTimeAndGoesAnywhere) {
    ASSERT_NO_FATAL_FAILURE(signIn());  // the sign-in lands on the home page too
    const int homePages = requestCount(QStringLiteral("site"), QStringLiteral("/"));
    auto* home = show(std::make_unique<SiteWebViewController>(webSession(), context(), &list));
    ASSERT_TRUE(waitForLoads(home));
    QWebEnginePage* page = home->webPage();
    EXPECT_TRUE(page->title().startsWith(QStringLiteral("Home")));
    EXPECT_EQ(requestCount(QStringLiteral("site"), QStringLiteral("/")), homePages + 1);

    // A torrent's page, opened by the engine with the member's session.
    js(page, QStringLiteral("document.querySelector('a[href^=\"/torrent/\"]').click()"));
    ASSERT_TRUE(waitFor([&] { return page->title().startsWith(QStringLiteral("Details for")); }));

    // Shown again: the home page is fetched again.
    home->viewWillDisappear();
    home->viewWillAppear();
    ASSERT_TRUE(waitFor([&] { return page->title().startsWith(QStringLiteral("Home")); }));
    EXPECT_EQ(requestCount(QStringLiteral("site"), QStringLiteral("/")), homePages + 2);

    // The engine kept nothing on disk: its home folders stay empty. (Under a display without
    // a session bus, as xvfb-run gives, Qt's own X11 support starts one by D-Bus's autolaunch,
    // which notes its address under ~/.dbus, web engine or not.)
    QDirIterator written(engineHomePath, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                         QDirIterator::Subdirectories);
    const QString dbus = QDir(engineHomePath).filePath(QStringLiteral(".dbus"));
    while (written.hasNext()) {
        const QString path = written.next();
        EXPECT_TRUE(path.startsWith(dbus)) << path.toStdString();
    }
}

}  // namespace
}  // namespace pelloran::test

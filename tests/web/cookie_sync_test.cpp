// One cookie jar: the core's store and the web profile's stay in step both ways, without
// sending a cookie back where it came from, and a logout in the app signs the web views out.

#include "support/app_driver.h"
#include "support/test_server.h"
#include "ui/web_tab_screen.h"
#include "web/cookie_bridge.h"
#include "web/site_web_view_controller.h"
#include "web/web_screens.h"
#include "web_fixture.h"

#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

namespace pelloran::test {
namespace {

using CookieSyncTest = WebFixture;

TEST_F(CookieSyncTest, CookiesGoBothWaysAndComeBackNoMoreThanOnce) {
    TestServer server;
    server.server().Get("/", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html><body>plain</body></html>", "text/html");
    });
    server.server().Get("/set", [](const httplib::Request&, httplib::Response& res) {
        res.set_header("Set-Cookie", "fromweb=2; Path=/; HttpOnly");
        res.set_content(
            "<html><body><script>document.cookie = 'js=3; path=/';</script>"
            "</body></html>",
            "text/html");
    });
    ASSERT_TRUE(server.start());
    const auto cookieHeaderOf = [&](const std::string& path) {
        std::string header = "(no request)";
        for (const RecordedRequest& r : server.requests()) {
            if (r.path == path) {
                header = r.header("Cookie");
            }
        }
        return header;
    };

    // A cookie the core holds (a session, say) is there for the engine from the start.
    Cookie session;
    session.domain = QStringLiteral("127.0.0.1");
    session.name = QStringLiteral("pelloran_session");
    session.value = QStringLiteral("abc");
    session.httpOnly = true;
    cookies.setCookie(session);
    web::CookieBridge& bridge = webSession().cookieBridge();
    QWebEnginePage page(web->profile());
    page.load(server.url(QStringLiteral("/")));
    ASSERT_TRUE(waitFor([&] { return cookieHeaderOf("/") != "(no request)"; }));
    EXPECT_EQ(cookieHeaderOf("/"), "pelloran_session=abc");

    // Cookies set in the web view, by the server and by a script, reach the core's next
    // request.
    page.load(server.url(QStringLiteral("/set")));
    ASSERT_TRUE(waitFor(
        [&] { return hasCookie(QStringLiteral("fromweb")) && hasCookie(QStringLiteral("js")); }));
    {
        HttpRequest core(server.url(QStringLiteral("/core")), net());
        core.request();
    }
    const std::string sent = cookieHeaderOf("/core");
    for (const char* c : {"pelloran_session=abc", "fromweb=2", "js=3"}) {
        EXPECT_NE(sent.find(c), std::string::npos) << sent;
    }

    // Nothing echoes: pushing again copies nothing, and the engine's copies of the core's
    // cookies did not come back to the core. The engine tells its changes in order, so once it
    // has told the marker cookie pushed last, any echo of the earlier ones has arrived too.
    const int toEngine = bridge.copiedToEngine();
    const int toCore = bridge.copiedToCore();
    EXPECT_EQ(toCore, 2);
    bridge.pushCoreCookies();
    bridge.pushCoreCookies();
    bool markerTold = false;
    QObject::connect(web->profile()->cookieStore(), &QWebEngineCookieStore::cookieAdded,
                     [&](const QNetworkCookie& c) { markerTold |= c.name() == "marker"; });
    Cookie marker = session;
    marker.name = QStringLiteral("marker");
    cookies.setCookie(marker);
    bridge.pushCoreCookies();
    ASSERT_TRUE(waitFor([&] { return markerTold; }));
    EXPECT_EQ(bridge.copiedToEngine(), toEngine + 1);
    EXPECT_EQ(bridge.copiedToCore(), toCore);

    // A script that deletes its cookie deletes it in the core; a cookie the core deletes is
    // gone from the engine after the next push.
    page.runJavaScript(
        QStringLiteral("document.cookie = 'js=; path=/; expires=Thu, 01 Jan 1970 00:00:00 GMT'"));
    ASSERT_TRUE(waitFor([&] { return !hasCookie(QStringLiteral("js")); }));
    cookies.deleteCookiesWithDomain(QStringLiteral("127.0.0.1"));
    bridge.pushCoreCookies();
    server.clearRequests();
    page.load(server.url(QStringLiteral("/")));
    ASSERT_TRUE(waitFor([&] { return cookieHeaderOf("/") != "(no request)"; }));
    EXPECT_EQ(cookieHeaderOf("/"), "");
}

TEST_F(CookieSyncTest, TheAppsSignInIsTheWebViewsAndItsLogoutSignsThemOut) {
    web::WebScreens webScreens;
    AppDriver::Options options;
    options.webFactory = &webScreens;
    AppDriver app(site, options);
    app.storeMemberCredentials(true);
    app.launch();
    ASSERT_TRUE(app.waitForMainInterface());

    // The site tab: a page the engine opens from there is a signed-in page.
    app.tabBar()->setSelectedIndex(8);
    auto* tab = dynamic_cast<WebTabScreen*>(app.tabBar()->screen(8));
    ASSERT_NE(tab, nullptr);
    auto* home = dynamic_cast<web::SiteWebViewController*>(tab->webScreen());
    ASSERT_NE(home, nullptr);
    ASSERT_TRUE(WebFixture::waitForLoads(home));
    QWebEnginePage* page = home->webPage();
    page->load(QUrl(site.siteUrl(QStringLiteral("/user/account/snatched"))));
    ASSERT_TRUE(waitFor([&] { return page->title().startsWith(QStringLiteral("Snatch list")); }))
        << page->title().toStdString();

    // A cookie a page sets goes with the core's next request.
    js(page, QStringLiteral("document.cookie = 'webpref=dark; path=/'"));
    CookieStore& core = app.services().cookies();
    ASSERT_TRUE(waitFor([&] {
        for (const Cookie& c : core.cookies()) {
            if (c.name == QLatin1String("webpref")) {
                return true;
            }
        }
        return false;
    }));
    {
        HttpRequest request(site.siteUrl(QStringLiteral("/torrents/browse")), app.services().net());
        request.request();
    }
    EXPECT_EQ(site.requestLog(QStringLiteral("site")).back().cookie(QStringLiteral("webpref")),
              QStringLiteral("dark"));

    // Logout clears both jars: the web view's next page comes without the session.
    app.root().logout();
    ASSERT_TRUE(app.waitForLoginFace());
    const auto engineRequests = [&] {
        int n = 0;
        for (const demo::LoggedRequest& r : site.requestLog(QStringLiteral("site"))) {
            n += r.path == QLatin1String("/user/account/snatched");
        }
        return n;
    };
    const int before = engineRequests();
    page->load(QUrl(site.siteUrl(QStringLiteral("/user/account/snatched"))));
    ASSERT_TRUE(waitFor([&] { return engineRequests() > before && !home->isLoading(); }));
    const demo::LoggedRequest last = site.requestLog(QStringLiteral("site")).back();
    EXPECT_FALSE(last.cookie(QStringLiteral("pelloran_session")).has_value());
    EXPECT_FALSE(last.cookie(QStringLiteral("qauid")).has_value());
    EXPECT_EQ(page->title(), site.loginTitle());
    app.quit();
}

}  // namespace
}  // namespace pelloran::test

#pragma once
// What a web screen needs in a test: the demo site, the core's stores and session over a
// temporary home, a screen context pointing at them, one WebSession, a list standing in for the
// screen that opened a page, and waits that pump the event loop. Screens are shown as windows
// of their own (offscreen), a phone's size.

#include "../remote/recording_alert_sink.h"
#include "demo_site.h"
#include "net/cookie_store.h"
#include "net/http_request.h"
#include "net/session.h"
#include "remote/download_history.h"
#include "remote/server_info.h"
#include "site/site_config.h"
#include "site/user_info.h"
#include "store/settings_store.h"
#include "support/temp_home.h"
#include "ui/list_screen_target.h"
#include "ui/screen_context.h"
#include "web/web_session.h"
#include "web/web_view_controller.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QVariant>
#include <QWebEnginePage>
#include <functional>
#include <memory>
#include <vector>

namespace pelloran::test {

// The folder the engine's home variables point at (set by the suite's main()).
inline QString engineHomePath;

// A torrent list as the web screens see it: records the download taps and the page loads.
class FakeListTarget : public ListScreenTarget {
public:
    void didTapDownloadButton(int tag) override { taps.push_back(tag); }
    void webPageLoaded() override { ++loaded; }
    std::vector<int> taps;
    int loaded = 0;
};

inline bool waitFor(const std::function<bool()>& done, int ms = 30000) {
    return QTest::qWaitFor(done, ms);
}

// Runs `script` in the page and waits for its value.
inline QVariant js(QWebEnginePage* page, const QString& script) {
    QVariant value;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant& v) {
        value = v;
        done = true;
    });
    waitFor([&] { return done; }, 15000);
    return value;
}

class WebFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(site.start());
        useSiteHost(site.siteHost());
    }
    void TearDown() override {
        screens.clear();
        web.reset();
    }

    // Points the site configuration at `hostAndPort` (the demo site's unless a test serves its
    // own pages).
    void useSiteHost(const QString& hostAndPort) {
        config = SiteConfig::buildDefaults();
        config.siteHost = hostAndPort;
        config.forumHost = site.forumHost();
        config.cookieDomain = site.cookieDomain();
        config.captchaHost = site.captchaHost();
        config.captchaCookieDomain = site.captchaCookieDomain();
        config.loginTitle = site.loginTitle();
    }

    // Signs the demo member in through the core, as the login face does.
    void signIn() {
        HttpRequest request(site.loginUrl(), net());
        request.setType(QStringLiteral("POST"));
        request.setPostData(QStringLiteral("username=") + site.memberName() +
                            QStringLiteral("&password=") + site.memberPassword() +
                            QStringLiteral("&remember_me=on"));
        request.request();
        ASSERT_TRUE(hasCookie(QStringLiteral("pelloran_session")));
    }
    bool hasCookie(const QString& name) const {
        for (const Cookie& c : cookies.cookies()) {
            if (c.name == name) {
                return true;
            }
        }
        return false;
    }

    NetContext net() { return NetContext{&cookies, &session}; }
    ScreenContext context() {
        ScreenContext c;
        c.site = SiteContext{net(), &config, &settings, &userInfo};
        c.remote = RemoteContext{net(), &server, &history, &alerts, nullptr};
        return c;
    }
    web::WebSession& webSession() {
        if (!web) {
            web = std::make_unique<web::WebSession>(cookies);
        }
        return *web;
    }

    // Keeps the screen for the test and shows it as a phone-sized window.
    template <typename Screen>
    Screen* show(std::unique_ptr<Screen> screen) {
        Screen* s = screen.get();
        s->resize(320, 480);
        s->viewWillAppear();
        s->show();
        screens.push_back(std::move(screen));
        return s;
    }
    // Waits until `count` loads of the screen's view have ended and none runs.
    static bool waitForLoads(const web::WebViewController* screen, int count = 1) {
        return waitFor([&] { return screen->loadsEnded() >= count && !screen->isLoading(); });
    }

    // Requests the demo site logged for `host` ("site", "forum") whose path is `path`.
    int requestCount(const QString& host, const QString& path) const {
        int n = 0;
        for (const demo::LoggedRequest& r : site.requestLog(host)) {
            n += r.path == path;
        }
        return n;
    }

    demo::DemoSite site;
    SiteConfig config;
    TempHome home;
    SettingsStore settings{home.path()};
    CookieStore cookies;
    Session session{QStringLiteral("http://127.0.0.1:9/user/account/login/"),
                    QStringLiteral("Login :: Pelloran Demo Tracker")};
    UserInfo userInfo;
    ServerInfo server{settings};
    DownloadHistory history{settings};
    RecordingAlertSink alerts;
    FakeListTarget list;
    std::unique_ptr<web::WebSession> web;
    std::vector<std::unique_ptr<QWidget>> screens;  // made after `web`, gone before it
};

}  // namespace pelloran::test

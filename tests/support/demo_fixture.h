#pragma once
// A running demo site and everything a client of it needs: configuration pointing at it,
// a settings store in a temporary home, a cookie store, the session state and the member bar.

#include "store/settings_store.h"
#include "demo_site.h"
#include "net/cookie_store.h"
#include "net/session.h"
#include "site/site_config.h"
#include "site/site_context.h"
#include "site/user_info.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>

#include <memory>

namespace pelloran::test {

inline SiteConfig configFor(const demo::DemoSite& site) {
    SiteConfig c = SiteConfig::buildDefaults();
    c.siteHost = site.siteHost();
    c.forumHost = site.forumHost();
    c.cookieDomain = site.cookieDomain();
    c.captchaHost = site.captchaHost();
    c.captchaCookieDomain = site.captchaCookieDomain();
    c.announceHost = site.announceHost();
    c.loginTitle = site.loginTitle();
    return c;
}

class DemoFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(site.start());
        config = configFor(site);
        settings = std::make_unique<SettingsStore>(home.path());
        cookies = std::make_unique<CookieStore>(home.file(QStringLiteral("cookies.txt")));
        session = std::make_unique<Session>(config.loginUrl(), config.loginTitle);
    }

    SiteContext siteContext() {
        return SiteContext{NetContext{cookies.get(), session.get()}, &config, settings.get(),
                           &userInfo};
    }
    NetContext net() { return NetContext{cookies.get(), session.get()}; }

    demo::DemoSite site;
    SiteConfig config;
    TempHome home;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<CookieStore> cookies;
    std::unique_ptr<Session> session;
    UserInfo userInfo;
};

}  // namespace pelloran::test

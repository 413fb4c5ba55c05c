// Signing out: which cookies go (the session's three domains, a host's port ignored) and which
// stay.

#include "site/sign_out.h"
#include "net/cookie_store.h"
#include "site/site_config.h"

#include <gtest/gtest.h>

namespace pelloran {
namespace {

TEST(SignOutTest, DeletesExactlyTheSessionDomainsAndIgnoresTheHostsPort) {
    SiteConfig config;
    config.siteHost = QStringLiteral("127.0.0.1:8410");
    config.forumHost = QStringLiteral("forum.example:8411");
    config.cookieDomain = QStringLiteral(".tracker.example");
    config.captchaCookieDomain = QStringLiteral(".captcha.example");
    EXPECT_EQ(sessionCookieDomains(config),
              (QStringList{QStringLiteral(".tracker.example"), QStringLiteral(".captcha.example"),
                           QStringLiteral("127.0.0.1")}));

    struct Case {
        const char* domain;
        bool deleted;
    };
    const Case cases[] = {
        {".tracker.example", true}, {".captcha.example", true}, {"127.0.0.1", true},
        {"tracker.example", false},  // host-only, not the domain
        {"forum.example", false},   {".example", false},        {"sub.tracker.example", false},
    };
    CookieStore cookies;
    for (const Case& c : cases) {
        Cookie cookie;
        cookie.domain = QString::fromLatin1(c.domain);
        cookie.includeSubdomains = cookie.domain.startsWith(QLatin1Char('.'));
        cookie.name = QStringLiteral("sid");
        cookie.value = QStringLiteral("v");
        cookies.setCookie(cookie);
    }
    EXPECT_EQ(deleteSessionCookies(cookies, config), 3);
    QStringList left;
    for (const Cookie& c : cookies.cookies()) {
        left.append(c.domain);
    }
    for (const Case& c : cases) {
        EXPECT_EQ(left.contains(QString::fromLatin1(c.domain)), !c.deleted) << c.domain;
    }
}

TEST(SignOutTest, DomainsThatCoincideAreListedOnce) {
    SiteConfig config;
    config.siteHost = QStringLiteral("tracker.example");
    config.cookieDomain = QStringLiteral("tracker.example");
    config.captchaCookieDomain = QString();
    EXPECT_EQ(sessionCookieDomains(config), QStringList{QStringLiteral("tracker.example")});
}

}  // namespace
}  // namespace pelloran

#include "site/site_config.h"

#include "site/site_config_defaults.h"

namespace pelloran {

SiteConfig SiteConfig::buildDefaults() {
    SiteConfig c;
    c.siteHost = QStringLiteral(PELLORAN_DEFAULT_SITE_HOST);
    c.forumHost = QStringLiteral(PELLORAN_DEFAULT_FORUM_HOST);
    c.cookieDomain = QStringLiteral(PELLORAN_DEFAULT_COOKIE_DOMAIN);
    c.captchaHost = QStringLiteral(PELLORAN_DEFAULT_CAPTCHA_HOST);
    c.captchaCookieDomain = QStringLiteral(PELLORAN_DEFAULT_CAPTCHA_COOKIE_DOMAIN);
    c.announceHost = QStringLiteral(PELLORAN_DEFAULT_ANNOUNCE_HOST);
    c.loginTitle = QStringLiteral(PELLORAN_DEFAULT_LOGIN_TITLE);
    c.imdbHost = QStringLiteral(PELLORAN_DEFAULT_IMDB_HOST);
    return c;
}

SiteConfig SiteConfig::fromEnvironment(const QProcessEnvironment& env) {
    SiteConfig c = buildDefaults();
    const auto apply = [&env](const char* name, QString& field) {
        const QString value = env.value(QLatin1StringView(name));
        if (!value.isEmpty()) {
            field = value;
        }
    };
    apply("PELLORAN_SITE_HOST", c.siteHost);
    apply("PELLORAN_FORUM_HOST", c.forumHost);
    apply("PELLORAN_COOKIE_DOMAIN", c.cookieDomain);
    apply("PELLORAN_CAPTCHA_HOST", c.captchaHost);
    apply("PELLORAN_CAPTCHA_COOKIE_DOMAIN", c.captchaCookieDomain);
    apply("PELLORAN_ANNOUNCE_HOST", c.announceHost);
    apply("PELLORAN_LOGIN_TITLE", c.loginTitle);
    apply("PELLORAN_IMDB_HOST", c.imdbHost);
    return c;
}

QString SiteConfig::siteUrl(const QString& path) const {
    return QStringLiteral("http://") + siteHost + path;
}

QString SiteConfig::forumUrl(const QString& path) const {
    return QStringLiteral("http://") + forumHost + path;
}

QString SiteConfig::loginUrl() const {
    return siteUrl(QStringLiteral("/user/account/login/"));
}

QString SiteConfig::sessionCheckUrl() const {
    return siteUrl(QStringLiteral("/torrents/browse"));
}

QString hostWithoutPort(const QString& host) {
    const qsizetype colon = host.lastIndexOf(QLatin1Char(':'));
    if (colon < 0 || host.endsWith(QLatin1Char(']'))) {
        return host;
    }
    return host.left(colon);
}

}  // namespace pelloran

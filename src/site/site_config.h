#pragma once
// The configuration values of the one tracker site: hosts, cookie domains, the login page title.
// Fixed at build time (CMake cache variables), overridable at start-up by PELLORAN_* environment
// variables. A host may carry a port ("127.0.0.1:8410").

#include <QProcessEnvironment>
#include <QString>

namespace pelloran {

struct SiteConfig {
    QString siteHost;
    QString forumHost;
    QString cookieDomain;
    QString captchaHost;
    QString captchaCookieDomain;
    QString announceHost;
    QString loginTitle;
    QString imdbHost;

    static SiteConfig buildDefaults();
    // Build defaults with every PELLORAN_* variable that is set and not empty applied.
    static SiteConfig fromEnvironment(
        const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());

    // "http://" + site host + path (path begins with "/").
    QString siteUrl(const QString& path) const;
    QString forumUrl(const QString& path) const;
    QString loginUrl() const;         // the login page and sign-in form target
    QString sessionCheckUrl() const;  // the page whose title tells whether the session lives
};

// A host without its ":port" part, as cookies name their domain.
QString hostWithoutPort(const QString& host);

}  // namespace pelloran

#pragma once
// A bare HTTP client for the demo site's own tests: raw httplib requests, no redirects followed,
// one session cookie kept by hand.

#include <httplib.h>

#include <QByteArray>
#include <QString>
#include <optional>

#include "demo_site.h"

namespace pelloran::demo::test {

struct Reply {
    int status = 0;  // 0: no answer
    QByteArray body;
    httplib::Headers headers;

    QString text() const { return QString::fromUtf8(body); }
    QString header(const char* name) const;
    std::vector<QString> setCookies() const;
};

class SiteClient {
public:
    explicit SiteClient(const QString& hostPort);

    Reply get(const QString& target) const;
    Reply post(const QString& target, const QByteArray& formBody) const;

    // Posts the login form; on success keeps "pelloran_session=...; qauid=..." for later requests.
    Reply signIn(const QString& user, const QString& password,
                 const QString& extraFields = QString());
    void setCookie(const QString& cookieHeader) { cookie_ = cookieHeader; }
    QString cookie() const { return cookie_; }

private:
    httplib::Headers headers() const;
    std::string host_;
    int port_ = 0;
    QString cookie_;
};

// The title of a page ("" when it has none).
QString titleOf(const QString& page);
// A target percent-escaped the way a client escapes an href read from a page.
QString escapeHref(const QString& href);

}  // namespace pelloran::demo::test

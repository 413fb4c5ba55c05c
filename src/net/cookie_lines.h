#pragma once
// Cookies as lines of the Netscape cookie file format, the form libcurl's cookie engine and the
// cookies file both use: reading and writing lines, and each cookie's identity, so that two
// copies of a cookie jar can be compared and merged cookie by cookie.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

namespace pelloran {

struct Cookie {
    QString domain;  // as stored: host-only cookies "host", domain cookies ".example.com"
    bool includeSubdomains = false;
    QString path = QStringLiteral("/");
    bool secure = false;
    qint64 expires = 0;  // Unix time; 0 = session cookie
    QString name;
    QString value;
    bool httpOnly = false;
};

std::optional<Cookie> parseCookieLine(const QByteArray& line);
QByteArray formatCookieLine(const Cookie& cookie);
bool isExpired(const Cookie& cookie, qint64 now);

// Cookie identity to canonical line, for every live cookie of a jar. Two cookies are the same
// when libcurl would let one replace the other: same domain-or-host kind, and the same domain,
// path and name ignoring letter case. The canonical line writes the domain the way libcurl does (a
// leading "." exactly for domain cookies), so lines from the engine and from a file compare.
using CookieMap = QMap<QString, QByteArray>;

CookieMap cookieMapOfLines(const QList<QByteArray>& lines, qint64 now);

struct CookieFileContent {
    CookieMap cookies;
    // The file has lines that are neither comments nor blank, and not one of them is a cookie:
    // it is something else, not a cookies file.
    bool notCookieFile = false;
};
CookieFileContent parseCookieFile(const QByteArray& content, qint64 now);
QByteArray formatCookieFile(const CookieMap& cookies);

}  // namespace pelloran

#include "web/web_rules.h"

#include <QRegularExpression>

namespace pelloran::web {

namespace {

// Chromium's url::kMaxURLChars.
constexpr qsizetype kMaxUrlChars = qsizetype(2) * 1024 * 1024;
// What setHtml() puts in front of the encoded text.
constexpr QLatin1StringView kDataUrlPrefix{"data:text/html;charset=UTF-8,"};

bool isUnreserved(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

int defaultPort(const QUrl& url) {
    return url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 ? 443 : 80;
}

}  // namespace

bool fitsInDataUrl(const QByteArray& utf8) {
    qsizetype length = kDataUrlPrefix.size();
    for (const char c : utf8) {
        length += isUnreserved(c) ? 1 : 3;
        if (length > kMaxUrlChars) {
            return false;
        }
    }
    return true;
}

QString withBaseHref(const QString& page, const QUrl& base) {
    const QString tag = QStringLiteral("<base href=\"") +
                        base.toString(QUrl::FullyEncoded).toHtmlEscaped() + QStringLiteral("\">");
    static const QRegularExpression headStart(QStringLiteral("<head(\\s[^>]*)?>"),
                                              QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch head = headStart.match(page);
    if (head.hasMatch()) {
        return page.left(head.capturedEnd()) + tag + page.mid(head.capturedEnd());
    }
    // No head: a base element before everything starts one.
    return tag + page;
}

bool isOnHost(const QUrl& url, const QString& hostAndPort) {
    const QUrl host(QStringLiteral("http://") + hostAndPort);
    if (!url.isValid() || !host.isValid() || url.host().isEmpty()) {
        return false;
    }
    return url.host().compare(host.host(), Qt::CaseInsensitive) == 0 &&
           url.port(defaultPort(url)) == host.port(80);
}

bool isSameOrigin(const QUrl& a, const QUrl& b) {
    if (!a.isValid() || !b.isValid() || a.host().isEmpty()) {
        return false;
    }
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0 &&
           a.host().compare(b.host(), Qt::CaseInsensitive) == 0 &&
           a.port(defaultPort(a)) == b.port(defaultPort(b));
}

bool isTorrentFileLink(const QUrl& url) {
    return url.toString().endsWith(QLatin1String("torrent"));
}

}  // namespace pelloran::web

#include "web/cookie_bridge.h"

#include "net/cookie_store.h"

#include <QDateTime>
#include <QWebEngineCookieStore>
#include <utility>

namespace pelloran::web {

namespace {

// The cookie's identity and its canonical line, as the core store compares cookies.
std::pair<QString, QByteArray> identify(const Cookie& cookie) {
    const CookieMap one = cookieMapOfLines({formatCookieLine(cookie)}, 0);
    if (one.isEmpty()) {
        return {};
    }
    return {one.firstKey(), one.first()};
}

QString bareHost(QString domain) {
    while (domain.startsWith(QLatin1Char('.'))) {
        domain.remove(0, 1);
    }
    return domain.toLower();
}

}  // namespace

EngineCookie toEngineCookie(const Cookie& cookie) {
    QNetworkCookie engine(cookie.name.toUtf8(), cookie.value.toUtf8());
    engine.setPath(cookie.path);
    engine.setSecure(cookie.secure);
    engine.setHttpOnly(cookie.httpOnly);
    if (cookie.expires != 0) {
        engine.setExpirationDate(QDateTime::fromSecsSinceEpoch(cookie.expires, Qt::UTC));
    }
    const QString host = bareHost(cookie.domain);
    if (cookie.includeSubdomains) {
        engine.setDomain(QLatin1Char('.') + host);
    }
    QUrl origin;
    origin.setScheme(cookie.secure ? QStringLiteral("https") : QStringLiteral("http"));
    origin.setHost(host);
    origin.setPath(QStringLiteral("/"));
    return {engine, origin};
}

Cookie fromEngineCookie(const QNetworkCookie& engine) {
    Cookie cookie;
    cookie.name = QString::fromUtf8(engine.name());
    cookie.value = QString::fromUtf8(engine.value());
    cookie.path = engine.path().isEmpty() ? QStringLiteral("/") : engine.path();
    cookie.secure = engine.isSecure();
    cookie.httpOnly = engine.isHttpOnly();
    cookie.expires = engine.isSessionCookie() ? 0 : engine.expirationDate().toSecsSinceEpoch();
    // The engine writes a cookie for one host without a leading dot, a domain cookie with one.
    cookie.includeSubdomains = engine.domain().startsWith(QLatin1Char('.'));
    cookie.domain = cookie.includeSubdomains ? QLatin1Char('.') + bareHost(engine.domain())
                                             : bareHost(engine.domain());
    return cookie;
}

CookieBridge::CookieBridge(CookieStore& core, QWebEngineCookieStore* engine, QObject* parent)
    : QObject(parent), core_(core), engine_(engine) {
    connect(engine, &QWebEngineCookieStore::cookieAdded, this, &CookieBridge::engineAdded);
    connect(engine, &QWebEngineCookieStore::cookieRemoved, this, &CookieBridge::engineRemoved);
    pushCoreCookies();
}

void CookieBridge::pushCoreCookies() {
    if (!engine_) {
        return;
    }
    CookieMap now;
    QMap<QString, Cookie> cookies;
    for (const Cookie& cookie : core_.cookies()) {
        const auto [key, line] = identify(cookie);
        if (!key.isEmpty()) {
            now.insert(key, line);
            cookies.insert(key, cookie);
        }
    }
    for (auto it = now.constBegin(); it != now.constEnd(); ++it) {
        if (mirror_.value(it.key()) == it.value()) {
            continue;
        }
        const EngineCookie engine = toEngineCookie(cookies.value(it.key()));
        engine_->setCookie(engine.cookie, engine.origin);
        mirror_.insert(it.key(), it.value());
        held_.insert(it.key(), cookies.value(it.key()));
        ++toEngine_;
    }
    for (auto it = mirror_.begin(); it != mirror_.end();) {
        if (now.contains(it.key())) {
            ++it;
            continue;
        }
        const EngineCookie engine = toEngineCookie(held_.take(it.key()));
        engine_->deleteCookie(engine.cookie, engine.origin);
        it = mirror_.erase(it);
        ++toEngine_;
    }
}

void CookieBridge::engineAdded(const QNetworkCookie& added) {
    const Cookie cookie = fromEngineCookie(added);
    const auto [key, line] = identify(cookie);
    if (key.isEmpty() || mirror_.value(key) == line) {
        return;  // ours, come back
    }
    core_.setCookie(cookie);
    mirror_.insert(key, line);
    held_.insert(key, cookie);
    ++toCore_;
}

void CookieBridge::engineRemoved(const QNetworkCookie& removed) {
    Cookie cookie = fromEngineCookie(removed);
    const auto [key, line] = identify(cookie);
    const auto it = mirror_.find(key);
    // Only the copy both sides hold: a removal of any other (the old value of a cookie we just
    // replaced, one already gone) is not ours to pass on.
    if (it == mirror_.end() || it.value() != line) {
        return;
    }
    mirror_.erase(it);
    held_.remove(key);
    // The core store forgets a cookie when an expired copy replaces it.
    cookie.expires = 1;
    core_.setCookie(cookie);
    ++toCore_;
}

}  // namespace pelloran::web

#pragma once
// One cookie jar for the app and its web views: keeps the core's CookieStore and the web
// profile's QWebEngineCookieStore in step, both ways.
//
//  - web to core: every cookie the engine stores or removes (a page's Set-Cookie or script) is
//    written to the core store as it happens, so the core's next request sends it;
//  - core to web: pushCoreCookies() copies what changed in the core store since the last push
//    (a sign-in, a silent re-login, a logout's deletions). The web screens call it before each
//    page they load and each navigation, the root controller after it deleted cookies.
//
// No echo: `mirror_` holds each cookie as both sides last agreed on it; a change that arrives
// equal to the mirror is the other side's copy of our own and is not sent back. UI thread only
// (the core store itself is thread-safe).

#include "net/cookie_lines.h"

#include <QMap>
#include <QNetworkCookie>
#include <QObject>
#include <QPointer>
#include <QUrl>

class QWebEngineCookieStore;

namespace pelloran {
class CookieStore;
}

namespace pelloran::web {

// A cookie of the core store as the engine takes it, with the address it belongs to (a cookie
// for a host alone goes in without a domain, so that the engine keeps it for that host only).
struct EngineCookie {
    QNetworkCookie cookie;
    QUrl origin;
};
EngineCookie toEngineCookie(const Cookie& cookie);
Cookie fromEngineCookie(const QNetworkCookie& cookie);

class CookieBridge : public QObject {
    Q_OBJECT
public:
    // Starts in step: the core's cookies are copied into the (empty) engine store.
    CookieBridge(CookieStore& core, QWebEngineCookieStore* engine, QObject* parent = nullptr);

    void pushCoreCookies();

    // Cookies copied either way since the bridge started (for tests and diagnostics).
    int copiedToEngine() const { return toEngine_; }
    int copiedToCore() const { return toCore_; }

private:
    void engineAdded(const QNetworkCookie& cookie);
    void engineRemoved(const QNetworkCookie& cookie);

    CookieStore& core_;
    QPointer<QWebEngineCookieStore> engine_;
    CookieMap mirror_;            // identity -> canonical line, as both sides hold it
    QMap<QString, Cookie> held_;  // identity -> the cookie itself, for removing it again
    int toEngine_ = 0;
    int toCore_ = 0;
};

}  // namespace pelloran::web

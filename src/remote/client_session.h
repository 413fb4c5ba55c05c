#pragma once
// The sign-in session of a BitTorrent client's web interface (qBittorrent's "SID" or
// "QBT_SID_<port>", Deluge's "_session_id"), kept by the adapter for the one push or fetch it
// serves, and sent back in a Cookie header.
//
// Its exchanges leave the shared cookie store alone: the client's session never reaches the
// site or the cookie file, the site's cookies never reach the client, and a logout's deletion by
// domain can't touch it, even when the site and the client share a host name (cookies know no
// ports). Used on the adapter's thread only.

#include "net/http_request.h"

#include <QByteArray>
#include <QMap>
#include <QString>

namespace pelloran {

class ClientSession {
public:
    // Sets up `request` for the client: no shared cookies, `headers` plus the session's
    // cookies (when there are any) as its extra headers.
    void prepare(HttpRequest& request, QMap<QString, QString> headers = {}) const;
    // Keeps the cookies the answer sets; one set with "Max-Age=0" is dropped.
    void takeCookies(const HttpRequest& request);

    bool isEmpty() const { return cookies_.isEmpty(); }
    void clear() { cookies_.clear(); }
    // "name=value; name=value", as sent.
    QByteArray cookieHeader() const;

private:
    QMap<QByteArray, QByteArray> cookies_;
};

}  // namespace pelloran

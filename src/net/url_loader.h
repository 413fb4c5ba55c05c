#pragma once
// One synchronous HTTP exchange over libcurl: the stand-in for the platform's URL loading.
// Sends and stores cookies through the shared CookieStore, reuses its open connections, and
// bounds time and body size. Blocks the calling thread: never call it on the UI thread except
// for short, time-limited exchanges.
//
// Redirects (301, 302, 303, 307, 308; at most 20) are followed as browsers follow them, with
// the cookies set along the way kept:
//  - after 301 or 302 to a POST, and after 303 to anything but a GET, the next request is a GET
//    without a body and without the body's headers (Content-Type, Content-Length, ...);
//  - after 307 or 308 the method and the body are repeated, but never to another origin
//    (scheme, host or port) than the first request's: such a redirect ends the exchange with
//    no response, so a password or a torrent goes only where it was sent;
//  - headers given here go along on every hop except Authorization and Cookie, which stop at the
//    first hop to another origin (credentials in the URL's user info don't leave it either).
// A request may ask not to follow them at all (`followRedirects` false): the redirect is then
// the answer, with its own status. An upload asks so, since a browser-style redirect would turn
// it into a GET without the file whose 200 looks like success.
//
// The time limit: the exchange ends, with no response, at the earlier of `timeoutSeconds` after
// it starts and the action's `deadline`. That one limit covers everything: name lookup,
// connecting, sending the request and its body, waiting for the answer, receiving it, and
// every redirect hop. A server that stalls at any point, or trickles its answer, meets it.
// A cancellation (cancellation.h) ends it sooner, at any point.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>

namespace pelloran {

class Cancellation;
class CookieStore;

using HeaderList = QList<QPair<QByteArray, QByteArray>>;

// Case-insensitive lookup, as HTTP header names are; absent when not present.
std::optional<QByteArray> headerValue(const HeaderList& headers, const QByteArray& name);
// Replaces the value of the header `name` (in its place), or appends it when not present.
void setHeaderValue(HeaderList& headers, const QByteArray& name, const QByteArray& value);

struct UrlLoadRequest {
    QString url;                     // sent as its UTF-8 bytes, unchanged
    QByteArray method = "GET";       // "GET" or "POST"
    std::optional<QByteArray> body;  // POST body
    HeaderList headers;              // sent in this order, exactly as given
    int timeoutSeconds = 60;         // the exchange's own limit, all hops included
    QDeadlineTimer deadline{QDeadlineTimer::Forever};  // the member action's (deadline.h)
    // False: the exchange neither sends nor keeps the shared store's cookies. For a session the
    // caller keeps to itself (a BitTorrent client's sign-in), sent in its own Cookie header.
    bool sharedCookies = true;
    bool followRedirects = true;
    // When given and cancelled (the program is closing), the exchange ends at once with no
    // response. Must outlive the exchange.
    Cancellation* cancellation = nullptr;
};

struct UrlLoadResponse {
    int statusCode = 0;
    HeaderList headers;  // header fields of the final response (after redirects)
};

struct UrlLoadResult {
    std::optional<UrlLoadResponse> response;  // absent: no connection, time-out, transport error
    QByteArray body;                          // empty whenever `response` is absent
};

// The largest body accepted; a bigger one counts as a transport error.
constexpr qint64 kMaxResponseBytes = qint64{64} * 1024 * 1024;
// Redirects followed in one exchange; one more is a failure.
constexpr int kMaxRedirects = 20;

UrlLoadResult loadUrl(const UrlLoadRequest& request, CookieStore& cookies);

}  // namespace pelloran

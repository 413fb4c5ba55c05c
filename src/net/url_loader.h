#pragma once
// One synchronous HTTP exchange over libcurl: the stand-in for the platform's URL loading.
// Follows redirects (cookies set along the way are kept), sends and stores cookies through the
// shared CookieStore, and bounds time and body size. Blocks the calling thread: never call it
// on the UI thread except for short, time-limited exchanges.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>

namespace pelloran {

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
    int timeoutSeconds = 60;
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
constexpr qint64 kMaxResponseBytes = 64 * 1024 * 1024;

UrlLoadResult loadUrl(const UrlLoadRequest& request, CookieStore& cookies);

}  // namespace pelloran

#pragma once
// The rules the web screens apply to addresses and page texts, kept apart from the widgets so
// they can be read and tested on their own.

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace pelloran::web {

// Whether a page text of these UTF-8 bytes can be shown with QWebEnginePage::setHtml(): the
// engine puts it, percent-encoded, into a data: URL, and no URL may be longer than 2 MB.
bool fitsInDataUrl(const QByteArray& utf8);

// The page text with a <base href> for `base` as the first element of its head, so that its
// relative links and style sheets resolve against `base` wherever the text is served from.
QString withBaseHref(const QString& page, const QUrl& base);

// `url` is on `hostAndPort` ("forum.example", "127.0.0.2:8411"): same host, ignoring case, and
// the same port (the scheme's default when either leaves it out).
bool isOnHost(const QUrl& url, const QString& hostAndPort);

// Scheme, host and port all equal: the same origin, whatever the path or user info.
bool isSameOrigin(const QUrl& a, const QUrl& b);

// A link to a .torrent file: its address ends in "torrent" (the site's download links do).
bool isTorrentFileLink(const QUrl& url);

}  // namespace pelloran::web

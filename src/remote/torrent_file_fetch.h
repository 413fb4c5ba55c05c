#pragma once
// Fetching a torrent's .torrent file from the site with the member's cookies, for a push.
//
// Only a torrent file counts: the download must come with a status of 200..299 and be a
// bencoded dictionary. The site's login page in its place is a lost session like on any page
// (re-login, then the file is fetched again); a 404 page or anything else counts as no file.
//
// Blocks the calling thread for the exchange (kTorrentFetchTimeoutSeconds, and the deadline and
// pace `net` carries).

#include "net/net_context.h"
#include "net/session.h"
#include "net/slow_down.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace pelloran {

// Limit of the torrent file's download from the site.
inline constexpr int kTorrentFetchTimeoutSeconds = 60;

struct TorrentFileFetch {
    std::optional<QByteArray> file;  // absent: no torrent file came
    // Why not, when the site said: it asked to slow down, or the session ended the request.
    std::optional<SlowDown> slowDown;
    SessionStop sessionStop = SessionStop::None;
};

TorrentFileFetch fetchTorrentFile(const QString& url, const NetContext& net);

}  // namespace pelloran

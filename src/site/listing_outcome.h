#pragma once
// What one listing page fetch (browse, search or a favorites page) comes back with. A list
// screen tells four cases apart: rows to show; a page with no torrent rows, which is the end
// of the listing; no page at all, which is a failure; and a page that holds torrent rows none
// of which could be read, which means the site changed its pages.

#include "net/session.h"
#include "net/slow_down.h"
#include "site/torrent.h"

#include <QLatin1StringView>
#include <QString>
#include <optional>

namespace pelloran {

enum class ListingStatus {
    Rows,           // the page arrived and rows were read from it
    Empty,          // the page arrived and holds no torrent rows: the end of the listing
    NoPage,         // no page: no connection, an error status, or the session ended the request
    NotUnderstood,  // the page holds torrent rows but none could be read, or isn't text
};

struct ListingOutcome {
    ListingStatus status = ListingStatus::NoPage;
    TorrentList torrents;  // the rows read, in page order; empty unless status is Rows
    // Rows only: the date of the page's last row as read, before any filtering (the load-more
    // row shows it).
    std::optional<QString> lastDate;
    // NoPage only: why the session ended the request (None: the connection or the site failed).
    SessionStop sessionStop = SessionStop::None;
    // NoPage only: the site asked to slow down for longer than the fetch could wait.
    std::optional<SlowDown> slowDown;
    QString url;  // the page asked for

    bool arrived() const { return status != ListingStatus::NoPage; }
};

// Title and message a front end shows for a page that was not understood.
inline constexpr QLatin1StringView kPageNotUnderstoodTitle{"Problem with website."};
QString pageNotUnderstoodMessage(const QString& url);

}  // namespace pelloran

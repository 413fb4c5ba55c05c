#pragma once
// Reads the torrent rows of a browse, search or favorites page into Torrent records, marking
// the ones whose name is in the download history, and tells what the page was: rows, the end
// of the listing, no page, or a page the reader no longer understands (listing_outcome.h).

#include "net/deadline.h"
#include "net/fetch_page.h"
#include "net/http_request.h"
#include "site/listing_outcome.h"
#include "site/site_context.h"
#include "site/torrent.h"

#include <QLatin1StringView>
#include <QStringList>
#include <optional>

namespace pelloran {

// One listing row: category image, details link and name, date, download link, size and unit,
// seeders, leechers.
extern const QString kTorrentRowPattern;

// The rows of one listing page, in page order; empty when none match. Each row is matched on
// its own text, from its "<tr" to the next one, so a row that doesn't fit (a size in KB, say)
// is left out without its neighbours being misread. Link addresses are read as a browser
// reads attributes (character references decoded); the download address is percent-escaped
// for use as a URL. Bounded in time: a page that costs too much to read gives no rows.
TorrentList parseTorrentListing(const QString& page, const QStringList& history);

// The same reading of a page that arrived, with its status: Rows when any row was read;
// NotUnderstood when none was, yet the page holds rows linking to torrents (other than rows
// left out for their size unit), or when reading it ran out of its time budget; otherwise
// Empty, the end of the listing. `url` is only carried into the outcome.
ListingOutcome readListingPage(const QString& page, const QStringList& history,
                               const QString& url = QString());

// The page request plus the reading above. torrents() is absent when no page text came;
// outcome() tells the four cases apart.
class HttpRequestRegExTorrent : public HttpRequest {
public:
    HttpRequestRegExTorrent(const QString& url, const SiteContext& site);
    void request() override;
    const std::optional<TorrentList>& torrents() const { return torrents_; }
    const ListingOutcome& outcome() const { return outcome_; }

private:
    SiteContext site_;
    std::optional<TorrentList> torrents_;
    ListingOutcome outcome_;
};

// Fetches one listing page and delivers its outcome: its rows, or why there are none. The
// fetch is a member action of its own (deadline.h), timed from when it starts to run: a page
// that meets a lost session waits for the re-login at most that long.
class FetchPageAllTorrents : public FetchPageWith<ListingOutcome> {
public:
    FetchPageAllTorrents(const QString& url, const SiteContext& site, QObject* context,
                         Callback callback);
    void setActionLimit(std::chrono::milliseconds limit) { actionLimit_ = limit; }

protected:
    void main() override;

private:
    SiteContext site_;
    std::chrono::milliseconds actionLimit_ = kActionTimeLimit;
};

}  // namespace pelloran

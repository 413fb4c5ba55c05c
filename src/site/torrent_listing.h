#pragma once
// Reads the torrent rows of a browse, search or favorites page into Torrent records, marking
// the ones whose name is in the download history.

#include "net/fetch_page.h"
#include "net/http_request.h"
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

// The page request plus the reading above. torrents() is absent when no page text came.
class HttpRequestRegExTorrent : public HttpRequest {
public:
    HttpRequestRegExTorrent(const QString& url, const SiteContext& site);
    void request() override;
    const std::optional<TorrentList>& torrents() const { return torrents_; }

private:
    SiteContext site_;
    std::optional<TorrentList> torrents_;
};

// Fetches one listing page and delivers its rows (absent when the page could not be read).
class FetchPageAllTorrents : public FetchPageWith<std::optional<TorrentList>> {
public:
    FetchPageAllTorrents(const QString& url, const SiteContext& site, QObject* context,
                         Callback callback);

protected:
    void main() override;

private:
    SiteContext site_;
};

}  // namespace pelloran

#include "site/torrent_listing.h"

#include "site/row_matching.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "text/string_helpers.h"
#include "text/url_escaping.h"

namespace pelloran {

const QString kTorrentRowPattern = QStringLiteral(
    R"re(<tr.*id=.*>[\s\S]*?<td[\s\S]*?img alt="Category" src=".*/images/categories/(.*?)"[\s\S]*?<a href="(.*?)">(.*?)</a>[\s\S]*? on (.*?)</td>[\s\S]*?<a href="(.*?)">[\s\S]*?</td>[\s\S]*?</td>[\s\S]*?<td>(.*?) ([G|M]B)</td>[\s\S]*?<td>[\s\S]*?<td.*?>(.*?)</td>[\s\S]*?<td.*?>(.*?)</td>)re");

namespace {

// The row pattern from the size cell to its end: every row that matches holds it. Rows sized
// in KB fail right here, and the whole pattern takes far longer to find that out.
const QString kRowTailPattern = QStringLiteral(
    R"re(<td>.*? [G|M]B</td>[\s\S]*?<td>[\s\S]*?<td.*?>.*?</td>[\s\S]*?<td.*?>.*?</td>)re");

// Where each table row starts: "<tr" followed by white space or ">".
QList<qsizetype> rowStarts(const QString& page) {
    QList<qsizetype> starts;
    const QLatin1StringView open("<tr");
    for (qsizetype at = page.indexOf(open); at >= 0; at = page.indexOf(open, at + 3)) {
        const qsizetype next = at + 3;
        if (next < page.size() && (page[next].isSpace() || page[next] == QLatin1Char('>'))) {
            starts.append(at);
        }
    }
    return starts;
}

TorrentPtr makeTorrent(const QStringList& g, const QStringList& history) {
    auto t = std::make_shared<Torrent>();
    t->setType(g[1]);
    t->setDetailsUrl(text::stringByUnescapingFromHTML(g[2]));
    const QString name = text::stringByUnescapingFromHTML(g[3]);
    t->setName(name);
    t->setDate(g[4]);
    t->setDownloadUrl(text::percentEscapeUrl(text::stringByUnescapingFromHTML(g[5])));
    t->setSize(g[6] + QLatin1Char(' ') + g[7]);
    t->setUp(g[8]);
    t->setDown(g[9]);
    t->setIsDownloaded(history.contains(name));
    return t;
}

}  // namespace

TorrentList parseTorrentListing(const QString& page, const QStringList& history) {
    TorrentList torrents;
    for (const QStringList& g :
         matchEachRow(page, rowStarts(page), kTorrentRowPattern, kRowTailPattern)) {
        torrents.append(makeTorrent(g, history));
    }
    return torrents;
}

HttpRequestRegExTorrent::HttpRequestRegExTorrent(const QString& url, const SiteContext& site)
    : HttpRequest(url, site.net), site_(site) {}

void HttpRequestRegExTorrent::request() {
    HttpRequest::request();
    if (!result()) {
        return;
    }
    const QStringList history =
        site_.settings ? site_.settings->stringList(keys::torrentHistory).value_or(QStringList())
                       : QStringList();
    torrents_ = parseTorrentListing(*result(), history);
}

FetchPageAllTorrents::FetchPageAllTorrents(const QString& url, const SiteContext& site,
                                           QObject* context, Callback callback)
    : FetchPageWith(url, context, std::move(callback)), site_(site) {}

void FetchPageAllTorrents::main() {
    HttpRequestRegExTorrent parser(url(), site_);
    parser.request();
    setReturnObject(parser.torrents());
}

}  // namespace pelloran

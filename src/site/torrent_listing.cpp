#include "site/torrent_listing.h"

#include "site/member_sample.h"
#include "site/row_matching.h"
#include "site/torrent_row_detection.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "text/regex.h"
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
    // Each "<" found with Qt's vectorised character search, then the two letters after it:
    // quicker than a general string search, which weighs every character of the page.
    const QStringView text(page);
    for (qsizetype at = text.indexOf(u'<'); at >= 0; at = text.indexOf(u'<', at + 1)) {
        const qsizetype next = at + 3;
        if (next < text.size() && text[at + 1] == u't' && text[at + 2] == u'r' &&
            (text[next].isSpace() || text[next] == u'>')) {
            starts.append(at);
        }
    }
    return starts;
}

TorrentPtr makeTorrent(const RowGroups& g, const QStringList& history) {
    TorrentFields f;
    f.type = g[1];
    f.detailsUrl = text::stringByUnescapingFromHTML(g[2]);
    const QString name = text::stringByUnescapingFromHTML(g[3]);
    f.name = name;
    f.date = g[4];
    f.downloadUrl = text::percentEscapeUrl(text::stringByUnescapingFromHTML(g[5]));
    f.size = g[6] + QLatin1Char(' ') + g[7];
    f.up = g[8];
    f.down = g[9];
    f.isDownloaded = history.contains(name);
    return std::make_shared<Torrent>(std::move(f));
}

// No row was read: does the page still hold rows that link to torrents (other than rows left
// out for their size unit)? A spent budget counts as yes: the page was not read through.
bool holdsUnreadTorrentRows(const QString& page, const QList<qsizetype>& starts,
                            text::RegexBudget& budget) {
    for (qsizetype i = 0; i < starts.size(); ++i) {
        const QString row = rowText(page, starts, i);
        if (linksToTorrent(row, budget) && !hasSkippedSizeUnit(row, budget)) {
            return true;
        }
        if (budget.exhausted()) {
            return true;
        }
    }
    return false;
}

}  // namespace

ListingOutcome readListingPage(const QString& page, const QStringList& history,
                               const QString& url) {
    ListingOutcome outcome;
    outcome.url = url;
    text::RegexBudget budget(text::regexStepBudget());
    const QList<qsizetype> starts = rowStarts(page);
    // Each row becomes its torrent as it is read: a large page's rows are never all held
    // as text as well.
    const bool whole = forEachMatchingRow(
        page, starts, kTorrentRowPattern, budget, kRowTailPattern,
        [&](const RowGroups& g) { outcome.torrents.append(makeTorrent(g, history)); });
    if (!whole) {
        outcome.torrents.clear();
    }
    if (!outcome.torrents.isEmpty()) {
        outcome.status = ListingStatus::Rows;
        outcome.lastDate = outcome.torrents.last()->date();
        return outcome;
    }
    outcome.status = budget.exhausted() || holdsUnreadTorrentRows(page, starts, budget)
                         ? ListingStatus::NotUnderstood
                         : ListingStatus::Empty;
    return outcome;
}

TorrentList parseTorrentListing(const QString& page, const QStringList& history) {
    text::RegexBudget budget(text::regexStepBudget());
    TorrentList torrents;
    const bool whole = forEachMatchingRow(
        page, rowStarts(page), kTorrentRowPattern, budget, kRowTailPattern,
        [&](const RowGroups& g) { torrents.append(makeTorrent(g, history)); });
    return whole ? torrents : TorrentList{};
}

HttpRequestRegExTorrent::HttpRequestRegExTorrent(const QString& url, const SiteContext& site)
    : HttpRequest(url, site.net), site_(site) {}

void HttpRequestRegExTorrent::request() {
    HttpRequest::request();
    outcome_ = ListingOutcome{};
    outcome_.url = url();
    outcome_.sessionStop = sessionStop();
    outcome_.slowDown = slowDown();
    if (sessionStop() != SessionStop::None || !isResponseValid()) {
        // No listing came: a failed exchange must not pass for the end of the listing.
        if (result()) {
            torrents_ = TorrentList{};
        }
        return;
    }
    if (!result()) {
        outcome_.status = ListingStatus::NotUnderstood;  // a page came, but not as text
        return;
    }
    const QStringList history =
        site_.settings ? site_.settings->stringList(keys::torrentHistory).value_or(QStringList())
                       : QStringList();
    outcome_ = readListingPage(*result(), history, url());
    noteMemberBar(site_, *result());
    torrents_ = outcome_.torrents;
}

FetchPageAllTorrents::FetchPageAllTorrents(const QString& url, const SiteContext& site,
                                           QObject* context, Callback callback)
    : FetchPageWith(url, context, std::move(callback)), site_(site) {}

void FetchPageAllTorrents::main() {
    HttpRequestRegExTorrent parser(url(), site_.withDeadline(startAction(actionLimit_)));
    parser.request();
    setReturnObject(parser.outcome());
}

}  // namespace pelloran

#include "site/page_rewriting.h"

#include "site/site_config.h"
#include "text/regex.h"

namespace pelloran {

const QString kProfileErrorPage = QStringLiteral("<html>Error loading page.  Try again.</html>");

namespace {

constexpr QLatin1StringView kHeadEnd{"</head>"};
constexpr QLatin1StringView kMiddleBlock{"<div id=\"middle\">"};
constexpr QLatin1StringView kDivEnd{"</div>"};
constexpr QLatin1StringView kTorrentBlock{"<div id=\"torrent\">"};
constexpr QLatin1StringView kProfileBlock{"<div id=\"profile\">"};
const QString kPageTools = QStringLiteral(R"re(<div id="pageTools">[\s\S]*?</div>)re");
const QString kDownloadButton = QStringLiteral(R"re(<button id="downloadButton">[\s\S]*?</div>)re");

}  // namespace

std::optional<PageCut> cutPage(const QString& page, QLatin1StringView block) {
    // The cut is the first match of
    //   ([\s\S]*</head>[\s\S]*?)<div id="middle">[\s\S]*</div>[\s\S]*?(BLOCK[\s\S]*)
    // worked out by searching instead of backtracking: a regex engine spends time in the number
    // of closing tags times the page length on it, which a long page with many comments
    // makes seconds. A match, when there is one, starts at 0. Its greedy first part takes the
    // last "</head>" after which the rest can still match; from there the lazy part takes the
    // first middle block. The greedy "[\s\S]*</div>" then takes the last "</div>" (after the
    // middle block's tag) that still has a BLOCK starting after it, and group 2 starts at the
    // first BLOCK after that "</div>". A later middle block never helps (it leaves fewer
    // "</div>" to choose from), so only the first one after each "</head>" is tried.
    const qsizetype lastBlock = page.lastIndexOf(block);
    if (lastBlock < kDivEnd.size()) {
        return std::nullopt;  // no block, or no room for a "</div>" before it
    }
    // The last "</div>" that ends at or before the last BLOCK starts.
    const qsizetype lastDivEnd = page.lastIndexOf(kDivEnd, lastBlock - kDivEnd.size());
    if (lastDivEnd < 0) {
        return std::nullopt;
    }
    for (qsizetype head = page.lastIndexOf(kHeadEnd); head >= 0;
         head = head == 0 ? -1 : page.lastIndexOf(kHeadEnd, head - 1)) {
        const qsizetype middle = page.indexOf(kMiddleBlock, head + kHeadEnd.size());
        if (middle < 0) {
            continue;
        }
        if (lastDivEnd >= middle + kMiddleBlock.size()) {
            const qsizetype start = page.indexOf(block, lastDivEnd + kDivEnd.size());
            return PageCut{page.left(middle), page.mid(start)};
        }
        // No "</div>" in reach after this middle block; an earlier "</head>" may find an
        // earlier one.
    }
    return std::nullopt;
}

RewrittenDetails rewriteDetailsPage(const QString& page, const QString& imdbHost) {
    const std::optional<PageCut> cut = cutPage(page, kTorrentBlock);
    if (!cut) {
        return {page, std::nullopt};
    }
    const QStringList g{QString(), cut->head, cut->block};
    // The host is matched literally: with its dots as "any character", a torrent description
    // could pass off "http://wwwXimdbYcom/..." (another host) as the movie database's page.
    QString quotedHost = imdbHost;
    quotedHost.replace(QStringLiteral("\\E"), QStringLiteral("\\E\\\\E\\Q"));
    const QString imdbPattern =
        QStringLiteral("['\"](http://\\Q") + quotedHost + QStringLiteral("\\E/.*?)['\"]");
    std::optional<QString> imdb = text::stringByMatching(g[2], imdbPattern, 1);
    QString rewritten = g[1] + g[2];
    text::replaceOccurrencesOfRegex(rewritten, kPageTools, QString());
    text::replaceOccurrencesOfRegex(rewritten, kDownloadButton, QString());
    if (imdb && imdb->isEmpty()) {
        imdb.reset();
    }
    return {rewritten, imdb};
}

QString rewriteProfilePage(const QString& page) {
    const std::optional<PageCut> cut = cutPage(page, kProfileBlock);
    return cut ? cut->head + cut->block : kProfileErrorPage;
}

HttpRequestRegExDetails::HttpRequestRegExDetails(const QString& url, const SiteContext& site)
    : HttpRequest(url, site.net), imdbHost_(site.config ? site.config->imdbHost : QString()) {}

void HttpRequestRegExDetails::request() {
    HttpRequest::request();
    if (!result()) {
        return;
    }
    RewrittenDetails details = rewriteDetailsPage(*result(), imdbHost_);
    setResult(details.page);
    imdb_ = details.imdb;
}

HttpRequestRegExProfileDetails::HttpRequestRegExProfileDetails(const QString& url,
                                                               const NetContext& net)
    : HttpRequest(url, net) {}

void HttpRequestRegExProfileDetails::request() {
    HttpRequest::request();
    if (result()) {
        setResult(rewriteProfilePage(*result()));
    }
}

HttpRequestRegExForum::HttpRequestRegExForum(const QString& url, const NetContext& net)
    : HttpRequest(url, net) {}

void HttpRequestRegExForum::request() {
    setOverwriteUserAgent(false);
    HttpRequest::request();
}

}  // namespace pelloran

#include "site/page_rewriting.h"

#include "site/site_config.h"
#include "text/regex.h"

namespace pelloran {

const QString kProfileErrorPage = QStringLiteral("<html>Error loading page.  Try again.</html>");

namespace {

const QString kDetailsCut = QStringLiteral(
    R"re(([\s\S]*</head>[\s\S]*?)<div id="middle">[\s\S]*</div>[\s\S]*?(<div id="torrent">[\s\S]*))re");
const QString kProfileCut = QStringLiteral(
    R"re(([\s\S]*</head>[\s\S]*?)<div id="middle">[\s\S]*</div>[\s\S]*?(<div id="profile">[\s\S]*))re");
const QString kPageTools = QStringLiteral(R"re(<div id="pageTools">[\s\S]*?</div>)re");
const QString kDownloadButton = QStringLiteral(R"re(<button id="downloadButton">[\s\S]*?</div>)re");

}  // namespace

RewrittenDetails rewriteDetailsPage(const QString& page, const QString& imdbHost) {
    const QStringList g = text::captureComponentsMatchedByRegex(page, kDetailsCut);
    if (g.size() < 3) {
        return {page, std::nullopt};
    }
    // The host goes in as it stands, as the link is written on the page.
    const QString imdbPattern =
        QStringLiteral("['\"](http://") + imdbHost + QStringLiteral("/.*?)['\"]");
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
    const QStringList g = text::captureComponentsMatchedByRegex(page, kProfileCut);
    return g.size() >= 3 ? g[1] + g[2] : kProfileErrorPage;
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

#pragma once
// Details, profile and forum pages for the web views: the details and profile pages are cut
// down to their head and their one block of content; the forum page is fetched as a phone
// would and left as it is.

#include "net/http_request.h"
#include "site/site_context.h"

#include <optional>

namespace pelloran {

struct RewrittenDetails {
    QString page;                 // head + torrent block, page tools and download button removed
    std::optional<QString> imdb;  // the first movie database link in the torrent block
};

// The rewriting of a details page; the page unchanged (and no link) when it doesn't have the
// expected blocks.
RewrittenDetails rewriteDetailsPage(const QString& page, const QString& imdbHost);

// A page cut down to its head part (up to the middle block) and one block of content (from
// the block's opening tag to the end of the page); absent when the page doesn't have them.
struct PageCut {
    QString head;
    QString block;
};
// `block` is the block's opening tag, e.g. <div id="torrent">. Linear in the page's length.
std::optional<PageCut> cutPage(const QString& page, QLatin1StringView block);

// Head + profile block, or the fixed error page when the page has no profile block.
QString rewriteProfilePage(const QString& page);

extern const QString kProfileErrorPage;

class HttpRequestRegExDetails : public HttpRequest {
public:
    HttpRequestRegExDetails(const QString& url, const SiteContext& site);
    void request() override;
    const std::optional<QString>& imdb() const { return imdb_; }

private:
    QString imdbHost_;
    std::optional<QString> imdb_;
};

class HttpRequestRegExProfileDetails : public HttpRequest {
public:
    HttpRequestRegExProfileDetails(const QString& url, const NetContext& net);
    void request() override;
};

// The forum answers phones with its light pages: the mobile User-Agent, no rewriting.
class HttpRequestRegExForum : public HttpRequest {
public:
    HttpRequestRegExForum(const QString& url, const NetContext& net);
    void request() override;
};

}  // namespace pelloran

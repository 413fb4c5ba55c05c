#pragma once
// The member's snatch list: a table-data form POST answered with JSON text, whose rows are
// found in the text by their JSON-escaped form, at most 50 of them; each field read is then
// decoded as the JSON string it is.

#include "net/deadline.h"
#include "net/fetch_page.h"
#include "net/http_request.h"
#include "site/site_context.h"
#include "site/torrent.h"

#include <optional>

namespace pelloran {

extern const QString kSnatchRowPattern;

// The form body asking for the first 50 rows, newest first, for the member `userId`.
QString snatchListBody(const QString& userId);

// One record per row in answer order: details path (backslashes removed), name (JSON escapes
// and then HTML character references decoded, as the listing decodes names), size, up, down,
// ratio (JSON escapes decoded), active. Each row is read within its own text, so a malformed
// row is skipped without merging into the next. Bounded in time.
TorrentList parseSnatchList(const QString& text);

class HttpRequestRegExSnatchTorrent : public HttpRequest {
public:
    HttpRequestRegExSnatchTorrent(const QString& url, const NetContext& net);
    void request() override;
    const std::optional<TorrentList>& torrents() const { return torrents_; }

private:
    std::optional<TorrentList> torrents_;
};

// POSTs `post` to `url` and delivers the rows read (absent when no page came back: no answer,
// or an error status). Like a
// listing page, the fetch is a member action of its own (deadline.h).
class FetchPageAllSnatchTorrents : public FetchPageWith<std::optional<TorrentList>> {
public:
    FetchPageAllSnatchTorrents(const QString& url, const QString& post, const NetContext& net,
                               QObject* context, Callback callback);
    void setActionLimit(std::chrono::milliseconds limit) { actionLimit_ = limit; }

protected:
    void main() override;

private:
    QString post_;
    NetContext net_;
    std::chrono::milliseconds actionLimit_ = kActionTimeLimit;
};

}  // namespace pelloran

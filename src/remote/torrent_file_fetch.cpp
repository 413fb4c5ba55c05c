#include "remote/torrent_file_fetch.h"

#include "net/http_request.h"

namespace pelloran {

TorrentFileFetch fetchTorrentFile(const QString& url, const NetContext& net) {
    // A plain GET: the shared cookies carry the member's session, nothing else is added.
    HttpRequest request(url, net);
    request.setBareHeaders(true);
    request.setTimeout(kTorrentFetchTimeoutSeconds);
    request.request();
    TorrentFileFetch fetched;
    fetched.slowDown = request.slowDown();
    fetched.sessionStop = request.sessionStop();
    const QByteArray& body = request.responseData();
    // A torrent file is a bencoded dictionary; an error or login page never starts with "d".
    if (request.isResponseValid() && request.sessionStop() == SessionStop::None &&
        body.startsWith('d')) {
        fetched.file = body;
    }
    return fetched;
}

}  // namespace pelloran

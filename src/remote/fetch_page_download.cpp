#include "remote/fetch_page_download.h"

#include "net/http_request.h"
#include "remote/alert_sink.h"
#include "remote/client_setup.h"
#include "remote/download_history.h"
#include "remote/remote_alerts.h"
#include "remote/server_info.h"
#include "remote/torrent_push.h"

namespace pelloran {

FetchPageDownload::FetchPageDownload(const QString& url, const QString& name,
                                     const RemoteContext& remote, QObject* context,
                                     Callback callback)
    : FetchPageWith<std::optional<QString>>(url, context, std::move(callback)),
      name_(name),
      remote_(remote) {}

QString FetchPageDownload::fileNameFromUrl(const QString& url) {
    return url.section(QLatin1Char('/'), -1);
}

std::optional<QByteArray> FetchPageDownload::fetchTorrentFile() const {
    // A plain GET: the shared cookies carry the member's session, nothing else is added.
    HttpRequest request(url(), remote_.net);
    request.setBareHeaders(true);
    request.setTimeout(kTorrentFetchTimeoutSeconds);
    request.request();
    const QByteArray& body = request.responseData();
    // A torrent file is a bencoded dictionary; an error or login page never starts with "d".
    if (!request.isResponseValid() || request.sessionStop() != SessionStop::None ||
        !body.startsWith('d')) {
        return std::nullopt;
    }
    return body;
}

void FetchPageDownload::alert(const Alert& alert) const {
    if (remote_.alerts) {
        remote_.alerts->showAlert(alert);
    }
}

void FetchPageDownload::main() {
    const ServerInfo::Values settings = remote_.server->reloaded();
    const QString fileName = fileNameFromUrl(url());
    const std::optional<QByteArray> file = fetchTorrentFile();
    if (!file) {
        alert(remote_alerts::websiteProblem());
        setReturnObject(std::nullopt);
        return;
    }
    bool pushed = false;
    if (std::unique_ptr<BitClient> client = clientFromSettings(settings)) {
        client->setFilename(fileName);
        client->setFile(*file);
        pushed = pushTorrent(*client, remote_.net, remote_.uploadRoutes);
    }
    if (!pushed) {
        alert(remote_alerts::connectionFailed());
        setReturnObject(std::nullopt);
        return;
    }
    remote_.history->append(name_);
    setReturnObject(name_);
}

}  // namespace pelloran

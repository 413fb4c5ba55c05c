#include "remote/fetch_page_download.h"

#include "net/deadline.h"
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

std::optional<QByteArray> FetchPageDownload::fetchTorrentFile(const NetContext& net) const {
    // A plain GET: the shared cookies carry the member's session, nothing else is added.
    HttpRequest request(url(), net);
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
    // One deadline for the whole push, however many exchanges it takes.
    const NetContext net = remote_.net.withDeadline(startAction());
    const ServerInfo::Values settings = remote_.server->reloaded();
    const QString fileName = fileNameFromUrl(url());
    const std::optional<QByteArray> file = fetchTorrentFile(net);
    if (!file) {
        alert(remote_alerts::websiteProblem());
        setReturnObject(std::nullopt);
        return;
    }
    PushOutcome outcome = PushOutcome::Refused;
    if (std::unique_ptr<BitClient> client = clientFromSettings(settings)) {
        client->setFilename(fileName);
        client->setFile(*file);
        outcome = pushTorrent(*client, net, remote_.uploadRoutes);
    }
    outcome_ = outcome;
    switch (outcome) {
        case PushOutcome::Sent:
            remote_.history->append(name_);
            setReturnObject(name_);
            return;
        case PushOutcome::AlreadyThere:
            remote_.history->appendIfMissing(name_);
            alert(remote_alerts::alreadySent());
            setReturnObject(name_);
            return;
        case PushOutcome::Banned:
            alert(remote_alerts::clientBanned());
            setReturnObject(std::nullopt);
            return;
        case PushOutcome::Refused:
            break;
    }
    alert(remote_alerts::connectionFailed());
    setReturnObject(std::nullopt);
}

}  // namespace pelloran

#include "remote/fetch_page_download.h"

#include "net/deadline.h"
#include "remote/alert_sink.h"
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

void FetchPageDownload::alert(const Alert& alert) const {
    if (remote_.alerts) {
        remote_.alerts->showAlert(alert);
    }
}

void FetchPageDownload::main() {
    // One deadline for the whole push, however many exchanges it takes.
    const NetContext net = remote_.net.withDeadline(startAction());
    const ServerInfo::Values settings = remote_.server->reloaded();
    const TorrentFileFetch fetched = fetchTorrentFile(url(), net);
    if (!fetched.file) {
        alert(fetched.slowDown ? remote_alerts::siteSlowDown(*fetched.slowDown)
                               : remote_alerts::websiteProblem());
        setReturnObject(std::nullopt);
        return;
    }
    const PushOutcome outcome =
        pushTorrentFile(settings, fileNameFromUrl(url()), *fetched.file, net, remote_.uploadRoutes);
    outcome_ = outcome;
    if (outcome == PushOutcome::Sent) {
        remote_.history->append(name_);
    } else if (outcome == PushOutcome::AlreadyThere) {
        remote_.history->appendIfMissing(name_);
    }
    if (const std::optional<Alert> said = remote_alerts::forPushOutcome(outcome)) {
        alert(*said);
    }
    setReturnObject(isDone(outcome) ? std::optional<QString>(name_) : std::nullopt);
}

}  // namespace pelloran

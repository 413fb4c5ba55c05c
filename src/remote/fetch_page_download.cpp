#include "remote/fetch_page_download.h"

#include "net/deadline.h"
#include "remote/alert_sink.h"
#include "remote/download_history.h"
#include "remote/remote_alerts.h"
#include "remote/server_info.h"
#include "remote/torrent_push.h"

namespace pelloran {

FetchPageDownload::FetchPageDownload(const QString& url, const QString& name,
                                     const RemoteContext& remote, const PushOptions& overrides,
                                     QObject* context, Callback callback)
    : FetchPageWith<std::optional<QString>>(url, context, std::move(callback)),
      name_(name),
      remote_(remote),
      subject_{name, {}, {}, {}},
      overrides_(overrides) {}

QString FetchPageDownload::fileNameFromUrl(const QString& url) {
    return url.section(QLatin1Char('/'), -1);
}

void FetchPageDownload::alert(const Alert& alert) const {
    if (remote_.alerts) {
        remote_.alerts->showAlert(alert);
    }
}

void FetchPageDownload::log(const QString& client, const PushOptions& options,
                            const QByteArray& file, PushResult result,
                            const QString& failure) const {
    PushSubject subject = subject_;
    subject.name = name_;
    subject.options = pushOptionsText(options);
    logPush(remote_, subject, client, file, result, failure);
}

void FetchPageDownload::main() {
    // One deadline for the whole push, however many exchanges it takes.
    const NetContext net = remote_.net.withDeadline(startAction());
    const ServerInfo::Values settings = remote_.server->reloaded();
    const TorrentFileFetch fetched = fetchTorrentFile(url(), net);
    const QString client = settings.client.value_or(QString());
    const PushOptions options = overrides_.over(settings.pushDefaults);
    if (!fetched.file) {
        const Alert said = fetched.slowDown ? remote_alerts::siteSlowDown(*fetched.slowDown)
                                            : remote_alerts::websiteProblem();
        log(client, options, {}, PushResult::Failed, said.title);
        alert(said);
        setReturnObject(std::nullopt);
        return;
    }
    const PushReply reply = pushTorrentFile(settings, fileNameFromUrl(url()), *fetched.file, net,
                                            remote_.uploadRoutes, options);
    const PushOutcome outcome = reply.outcome;
    outcome_ = outcome;
    if (outcome == PushOutcome::Sent) {
        remote_.history->append(name_);
    } else if (outcome == PushOutcome::AlreadyThere) {
        remote_.history->appendIfMissing(name_);
    }
    const std::optional<Alert> said = remote_alerts::forPushOutcome(reply);
    log(client, options, *fetched.file, pushResultOf(outcome), said ? said->title : QString());
    if (said) {
        alert(*said);
    }
    setReturnObject(isDone(outcome) ? std::optional<QString>(name_) : std::nullopt);
}

}  // namespace pelloran

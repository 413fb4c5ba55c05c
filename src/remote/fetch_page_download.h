#pragma once
// The background push of one torrent: fetches the .torrent file from the site with the
// member's cookies, hands it to the client chosen in the remote settings and, when the client
// took it, appends the torrent's name to the download history. Delivers the name on success,
// absent on failure; failures also raise one alert (remote_alerts.h) before delivering.
//
// A client that answers it holds the torrent already counts as success: the name is delivered
// (the list marks the rows) and goes to the history unless it is there, and an information
// alert says the torrent was already on the server.
//
// Only a torrent file goes to the client (torrent_file_fetch.h): without one nothing is sent.
//
// The torrent goes with the client's push defaults (remote settings), each field of
// `overrides` taking the place of the default. A push whose options the client refuses, or
// does not have, fails with an alert giving the reason; nothing goes to a default place.
//
// Runs on the creating screen's queue; the fetch, handshake and upload block that thread. The
// whole push, Transmission's RPC fallback included, ends within kActionTimeLimit of the start
// of main(), or by the earlier deadline the context already carries (deadline.h).

#include "net/fetch_page.h"
#include "remote/alert_sink.h"
#include "remote/push_log.h"
#include "remote/push_options.h"
#include "remote/push_outcome.h"
#include "remote/remote_context.h"
#include "remote/torrent_file_fetch.h"

#include <atomic>

#include <QByteArray>
#include <QString>
#include <optional>

namespace pelloran {

class FetchPageDownload : public FetchPageWith<std::optional<QString>> {
public:
    // `url`: the absolute address of the torrent file; `name`: the torrent's display name, both
    // the history entry and the result.
    FetchPageDownload(const QString& url, const QString& name, const RemoteContext& remote,
                      QObject* context, Callback callback)
        : FetchPageDownload(url, name, remote, PushOptions{}, context, std::move(callback)) {}
    // The same, `overrides` taking the place of the client's push defaults field by field.
    FetchPageDownload(const QString& url, const QString& name, const RemoteContext& remote,
                      const PushOptions& overrides, QObject* context, Callback callback);

    QString name() const { return name_; }
    // What the push log records beyond the name (push_log.h); set before it is queued.
    void setSubject(const PushSubject& subject) { subject_ = subject; }
    // How the push ended; Refused until main() has run.
    PushOutcome outcome() const { return outcome_; }

    // The file name sent with the upload: the last "/" piece of the URL text, unchanged (percent
    // escapes stay; a URL ending in "/" gives "").
    static QString fileNameFromUrl(const QString& url);

protected:
    void main() override;

private:
    void alert(const Alert& alert) const;
    // `options`: the push's own, over the client's defaults.
    void log(const QString& client, const PushOptions& options, const QByteArray& file,
             PushResult result, const QString& failure = {}) const;

    const QString name_;
    const RemoteContext remote_;
    PushSubject subject_;
    const PushOptions overrides_;
    std::atomic<PushOutcome> outcome_{PushOutcome::Refused};
};

}  // namespace pelloran

#pragma once
// Logs each push, whatever started it, to the activity database through the remote context's
// recorder (activity_recorder.h): what was pushed, to which client, and how it ended, in the
// words of the alert the member saw when it failed. Never waits for the disk.

#include "remote/push_outcome.h"
#include "remote/remote_context.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace pelloran {

// What the pusher knows of the torrent beyond its file.
struct PushSubject {
    QString name;
    QString detailsPath;         // "" when only the file's address was given
    std::optional<qint64> size;  // bytes, from the listing
    QString options;             // the push options as JSON object text; "" for none
};

PushResult pushResultOf(PushOutcome outcome);

// `torrentFile`: the file as fetched ("" when it never came: no info-hash then). `failure`:
// the alert title, for a failed push. Does nothing when the context has no recorder.
void logPush(const RemoteContext& remote, const PushSubject& subject, const QString& client,
             const QByteArray& torrentFile, PushResult result, const QString& failure = {});

}  // namespace pelloran

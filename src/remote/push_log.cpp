#include "remote/push_log.h"

#include "remote/info_hash.h"
#include "store/activity_recorder.h"

namespace pelloran {

PushResult pushResultOf(PushOutcome outcome) {
    switch (outcome) {
        case PushOutcome::Sent:
            return PushResult::Sent;
        case PushOutcome::AlreadyThere:
            return PushResult::AlreadyOnServer;
        default:
            return PushResult::Failed;
    }
}

void logPush(const RemoteContext& remote, const PushSubject& subject, const QString& client,
             const QByteArray& torrentFile, PushResult result, const QString& failure) {
    if (!remote.activity) {
        return;
    }
    PushRecord record;
    record.time = QDateTime::currentDateTimeUtc();
    record.name = subject.name;
    record.detailsPath = subject.detailsPath;
    if (!torrentFile.isEmpty()) {
        if (const std::optional<InfoHashes> hashes = torrentInfoHashes(torrentFile)) {
            record.infoHash = hashes->v1;
        }
    }
    record.size = subject.size;
    record.client = client;
    record.options = subject.options.isEmpty() ? QStringLiteral("{}") : subject.options;
    record.result = result;
    record.failure = result == PushResult::Failed ? failure : QString();
    record.origin = remote.origin;
    remote.activity->addPush(record);
}

}  // namespace pelloran

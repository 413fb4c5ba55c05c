#pragma once
// What the push and the connection test need from the running program. Everything pointed to
// is owned by the front end and outlives every operation made with it.

#include "net/net_context.h"
#include "store/activity_records.h"

namespace pelloran {

class ActivityRecorder;
class AlertSink;
class DownloadHistory;
class ServerInfo;
class UploadRoutes;

struct RemoteContext {
    NetContext net;
    ServerInfo* server = nullptr;
    DownloadHistory* history = nullptr;
    AlertSink* alerts = nullptr;  // null: failures are delivered without an alert
    // The run's memory of servers that take torrents only over RPC; null: every push tries the
    // upload first.
    UploadRoutes* uploadRoutes = nullptr;
    // Where each push's outcome is logged (push_log.h), and what started the pushes made with
    // this context; null: not logged.
    ActivityRecorder* activity = nullptr;
    PushOrigin origin = PushOrigin::App;

    // A copy for one member action: its exchanges end by `actionDeadline` (deadline.h).
    RemoteContext withDeadline(const QDeadlineTimer& actionDeadline) const {
        RemoteContext copy = *this;
        copy.net = net.withDeadline(actionDeadline);
        return copy;
    }
};

}  // namespace pelloran

#pragma once
// What the push and the connection test need from the running program. Everything pointed to
// is owned by the front end and outlives every operation made with it.

#include "net/net_context.h"

namespace pelloran {

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
};

}  // namespace pelloran

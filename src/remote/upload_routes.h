#pragma once
// Which Transmission servers of this run take torrents only over RPC: a server that refused
// the multipart upload and then took the same file through the RPC method is sent later
// pushes over RPC straight away, one round trip fewer per push. A server that accepts uploads
// is never entered, so it keeps being sent uploads. Kept in memory for the run only.
//
// Thread-safe: pushes from different screens' queues may consult it at once.

#include <QMutex>
#include <QSet>
#include <QString>

namespace pelloran {

class UploadRoutes {
public:
    // `server` names one client: its RPC address.
    bool prefersRpc(const QString& server) const;
    void rememberRpc(const QString& server);
    void forget(const QString& server);

private:
    mutable QMutex mutex_;
    QSet<QString> rpcServers_;
};

}  // namespace pelloran

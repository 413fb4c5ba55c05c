#include "remote/upload_routes.h"

namespace pelloran {

bool UploadRoutes::prefersRpc(const QString& server) const {
    QMutexLocker lock(&mutex_);
    return rpcServers_.contains(server);
}

void UploadRoutes::rememberRpc(const QString& server) {
    QMutexLocker lock(&mutex_);
    rpcServers_.insert(server);
}

void UploadRoutes::forget(const QString& server) {
    QMutexLocker lock(&mutex_);
    rpcServers_.remove(server);
}

}  // namespace pelloran

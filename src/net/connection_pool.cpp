#include "net/connection_pool.h"

#include <curl/curl.h>

namespace pelloran {

ConnectionPool::ConnectionPool(CURLSH* share) : share_(share) {}

ConnectionPool::~ConnectionPool() {
    for (const Idle& idle : idle_) {
        curl_easy_cleanup(idle.handle);
    }
}

ConnectionPool::Lease::~Lease() {
    if (handle_) {
        pool_->release(handle_, origin_);
    }
}

ConnectionPool::Lease ConnectionPool::acquire(const QByteArray& origin) {
    CURL* handle = nullptr;
    {
        QMutexLocker lock(&mutex_);
        auto chosen = idle_.end();
        for (auto it = idle_.begin(); it != idle_.end(); ++it) {
            if (it->origin == origin || chosen == idle_.end() || chosen->origin != origin) {
                chosen = it;  // the latest idle handle, or better the latest of this origin
            }
        }
        if (chosen != idle_.end()) {
            handle = chosen->handle;
            idle_.erase(chosen);
        }
    }
    if (handle) {
        // Options go back to their defaults; live connections and the share stay.
        curl_easy_reset(handle);
    } else if ((handle = curl_easy_init())) {
        if (share_) {
            curl_easy_setopt(handle, CURLOPT_SHARE, share_);
        }
        QMutexLocker lock(&mutex_);
        ++created_;
    }
    return Lease(this, handle, origin);
}

void ConnectionPool::release(CURL* handle, const QByteArray& origin) {
    CURL* evicted = nullptr;
    {
        QMutexLocker lock(&mutex_);
        idle_.push_back({handle, origin});
        if (idle_.size() > kMaxIdle) {
            evicted = idle_.front().handle;
            idle_.erase(idle_.begin());
        }
    }
    if (evicted) {
        curl_easy_cleanup(evicted);  // outside the lock: closing connections may take a moment
    }
}

int ConnectionPool::handlesCreated() const {
    QMutexLocker lock(&mutex_);
    return created_;
}

}  // namespace pelloran

#include "transport/connection_pool.h"

#include <curl/curl.h>

namespace pelloran {

ConnectionPool::ConnectionPool(CURLSH* share) : share_(share) {}

ConnectionPool::~ConnectionPool() {
    for (const Idle& idle : idle_) {
        close(idle);
    }
}

void ConnectionPool::close(const Idle& idle) {
    curl_easy_cleanup(idle.handle);
    curl_multi_cleanup(idle.multi);  // closes the connections it kept
}

ConnectionPool::Lease::~Lease() {
    if (handle_) {
        pool_->release({handle_, multi_, origin_});
    }
}

ConnectionPool::Lease ConnectionPool::acquire(const QByteArray& origin) {
    Idle taken{nullptr, nullptr, origin};
    {
        QMutexLocker lock(&mutex_);
        auto chosen = idle_.end();
        for (auto it = idle_.begin(); it != idle_.end(); ++it) {
            if (it->origin == origin || chosen == idle_.end() || chosen->origin != origin) {
                chosen = it;  // the latest idle handle, or better the latest of this origin
            }
        }
        if (chosen != idle_.end()) {
            taken = *chosen;
            idle_.erase(chosen);
        }
    }
    if (taken.handle) {
        // Options go back to their defaults; live connections and the share stay.
        curl_easy_reset(taken.handle);
        return Lease(this, taken.handle, taken.multi, origin);
    }
    CURL* handle = curl_easy_init();
    CURLM* multi = handle ? curl_multi_init() : nullptr;
    if (!multi) {
        curl_easy_cleanup(handle);
        return Lease(this, nullptr, nullptr, origin);
    }
    if (share_) {
        curl_easy_setopt(handle, CURLOPT_SHARE, share_);
    }
    {
        QMutexLocker lock(&mutex_);
        ++created_;
    }
    return Lease(this, handle, multi, origin);
}

void ConnectionPool::release(const Idle& idle) {
    Idle evicted{nullptr, nullptr, {}};
    {
        QMutexLocker lock(&mutex_);
        idle_.push_back(idle);
        if (idle_.size() > kMaxIdle) {
            evicted = idle_.front();
            idle_.erase(idle_.begin());
        }
    }
    if (evicted.handle) {
        close(evicted);  // outside the lock: closing connections may take a moment
    }
}

int ConnectionPool::handlesCreated() const {
    QMutexLocker lock(&mutex_);
    return created_;
}

}  // namespace pelloran

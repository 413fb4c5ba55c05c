#include "net/cancellation.h"

#include <curl/curl.h>

#include <algorithm>

namespace pelloran {

void Cancellation::cancel() {
    QMutexLocker lock(&mutex_);
    cancelled_.store(true);
    // Under the lock: a watched handle can't be cleaned up while it is being woken.
    for (CURLM* multi : waiting_) {
        curl_multi_wakeup(multi);
    }
    cancelledSignal_.wakeAll();
}

bool Cancellation::pauseUntil(const QDeadlineTimer& until) {
    QMutexLocker lock(&mutex_);
    while (!cancelled_.load()) {
        if (!cancelledSignal_.wait(&mutex_, until)) {
            break;  // the pause is over
        }
    }
    return !cancelled_.load();
}

Cancellation::Watch::Watch(Cancellation* cancellation, CURLM* multi)
    : cancellation_(cancellation), multi_(multi) {
    if (cancellation_) {
        QMutexLocker lock(&cancellation_->mutex_);
        cancellation_->waiting_.push_back(multi_);
    }
}

Cancellation::Watch::~Watch() {
    if (cancellation_) {
        QMutexLocker lock(&cancellation_->mutex_);
        std::vector<CURLM*>& waiting = cancellation_->waiting_;
        waiting.erase(std::find(waiting.begin(), waiting.end(), multi_));
    }
}

}  // namespace pelloran

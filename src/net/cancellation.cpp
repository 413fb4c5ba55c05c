#include "net/cancellation.h"

namespace pelloran {

void Cancellation::cancel() {
    QMutexLocker lock(&mutex_);
    cancelled_.store(true);
    // Under the lock: a watched exchange can't end while it is being woken.
    for (Waker* waker : waiting_) {
        waker->wake();
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

}  // namespace pelloran

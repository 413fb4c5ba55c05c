#include "store/store_notice.h"

#include <algorithm>
#include <utility>

namespace pelloran {

void NoticeLog::add(const StoreNotice& notice) {
    Listener listener;
    {
        QMutexLocker lock(&mutex_);
        if (notice.kind == StoreNotice::Kind::NotSaved) {
            if (failing_) {
                return;
            }
            failing_ = true;
        }
        pending_.append(notice);
        listener = listener_;
    }
    if (listener) {
        listener(notice);
    }
}

QList<StoreNotice> NoticeLog::take() {
    QMutexLocker lock(&mutex_);
    return std::exchange(pending_, {});
}

bool NoticeLog::hasNotSaved() const {
    QMutexLocker lock(&mutex_);
    return std::any_of(pending_.begin(), pending_.end(),
                       [](const StoreNotice& n) { return n.kind == StoreNotice::Kind::NotSaved; });
}

void NoticeLog::saved() {
    QMutexLocker lock(&mutex_);
    failing_ = false;
}

void NoticeLog::setListener(Listener listener) {
    QMutexLocker lock(&mutex_);
    listener_ = std::move(listener);
}

}  // namespace pelloran

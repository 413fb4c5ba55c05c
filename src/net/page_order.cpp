#include "net/page_order.h"

namespace pelloran {

PageOrder::PageOrder(int first, int count) {
    for (int i = 0; i < count; ++i) {
        pending_.append(first + i);
    }
}

void PageOrder::add(int token) {
    QMutexLocker lock(&mutex_);
    pending_.append(token);
}

bool PageOrder::contains(int token) const {
    QMutexLocker lock(&mutex_);
    return pending_.contains(token);
}

void PageOrder::waitWhileContains(int token) {
    QMutexLocker lock(&mutex_);
    while (pending_.contains(token)) {
        changed_.wait(&mutex_);
    }
}

void PageOrder::remove(int token) {
    QMutexLocker lock(&mutex_);
    pending_.removeOne(token);
    changed_.wakeAll();
}

}  // namespace pelloran

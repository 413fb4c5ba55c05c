#include "net/operation_queue.h"

namespace pelloran {

namespace {
std::atomic<int> inFlight{0};
}  // namespace

int OperationQueue::operationsInFlight() {
    return inFlight.load();
}

OperationQueue::OperationQueue(int width) {
    pool_.setMaxThreadCount(width > 0 ? width : 1);
    pool_.setExpiryTimeout(30000);
}

OperationQueue::~OperationQueue() {
    pool_.waitForDone();
}

int OperationQueue::width() const {
    return pool_.maxThreadCount();
}

void OperationQueue::addOperation(std::unique_ptr<Operation> operation) {
    count_->fetch_add(1);
    inFlight.fetch_add(1);
    std::shared_ptr<Operation> op(std::move(operation));
    auto count = count_;
    pool_.start([op, count] {
        op->run();
        count->fetch_sub(1);
        inFlight.fetch_sub(1);
    });
}

bool OperationQueue::waitForDone(int msecs) {
    return pool_.waitForDone(msecs);
}

}  // namespace pelloran

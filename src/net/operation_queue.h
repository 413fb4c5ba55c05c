#pragma once
// A queue of background operations with a maximum width. Operations run first in, first out;
// with width 1 strictly one after another in the order added. No operation is ever cancelled.

#include <QThreadPool>
#include <atomic>
#include <memory>

namespace pelloran {

class Operation {
public:
    virtual ~Operation() = default;
    virtual void run() = 0;  // called once, on a queue thread
};

class OperationQueue {
public:
    explicit OperationQueue(int width);
    // Waits for every operation added to finish.
    ~OperationQueue();
    OperationQueue(const OperationQueue&) = delete;
    OperationQueue& operator=(const OperationQueue&) = delete;

    void addOperation(std::unique_ptr<Operation> operation);

    // Operations added and not yet finished (running or waiting).
    int operationCount() const { return count_->load(); }
    // The same over every queue of the process: 0 when no background work is left anywhere
    // (what a test waits for before it checks that something did not happen).
    static int operationsInFlight();
    int width() const;

    // Blocks until every operation added so far has finished, or `msecs` passed (-1: no limit).
    bool waitForDone(int msecs = -1);

private:
    QThreadPool pool_;
    std::shared_ptr<std::atomic<int>> count_ = std::make_shared<std::atomic<int>>(0);
};

}  // namespace pelloran

#pragma once
// The shared list of pending page numbers that puts the deliveries of parallel page fetches in
// page order: a fetch delivers only after the page before it has delivered and left the list.
// Thread-safe; waits on a condition variable instead of polling.

#include <QList>
#include <QMutex>
#include <QWaitCondition>

namespace pelloran {

class PageOrder {
public:
    // Pending pages first, first + 1, ..., first + count - 1.
    PageOrder(int first, int count);

    void add(int token);  // a page fetch joins the list before it starts
    bool contains(int token) const;
    void waitWhileContains(int token);
    void remove(int token);

private:
    mutable QMutex mutex_;
    QWaitCondition changed_;
    QList<int> pending_;
};

}  // namespace pelloran

#include "support/wait_idle.h"

#include "net/operation_queue.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace pelloran::test {

bool waitUntilIdle(int ms, int held) {
    constexpr int kQuietRounds = 3;
    const QDeadlineTimer deadline(ms);
    int quiet = 0;
    while (!deadline.hasExpired()) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (OperationQueue::operationsInFlight() <= held) {
            if (++quiet == kQuietRounds) {
                return true;
            }
        } else {
            quiet = 0;
            QThread::msleep(1);  // an operation's thread is working: give it the processor
        }
    }
    return false;
}

}  // namespace pelloran::test

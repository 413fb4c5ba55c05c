#pragma once
// The end of a program's network work, for a front end that is closing: cancel() ends every
// exchange in flight under it at once, with no response, and makes every later one end before
// it starts; pauses taken under it (a retry's wait) end too. Nothing is undone: an exchange
// either delivered its answer before the cancel or delivers none.
//
// An exchange in flight registers what wakes its wait (Watch, a Waker), so that cancel() can
// wake it from its poll rather than let it notice on its own up to a second later. Watch is
// all inline: the HTTP engine's module uses it without linking the core. Thread-safe; cancel()
// may be called from any thread, once or many times.

#include <QDeadlineTimer>
#include <QMutex>
#include <QWaitCondition>
#include <algorithm>
#include <atomic>
#include <vector>

namespace pelloran {

// Wakes one waiting exchange; called by cancel() on the cancelling thread.
class Waker {
public:
    virtual void wake() = 0;

protected:
    ~Waker() = default;
};

class Cancellation {
public:
    Cancellation() = default;
    Cancellation(const Cancellation&) = delete;
    Cancellation& operator=(const Cancellation&) = delete;

    void cancel();
    bool isCancelled() const { return cancelled_.load(); }

    // Sleeps until `until`; false at once when cancelled (before or while sleeping).
    bool pauseUntil(const QDeadlineTimer& until);

    // Keeps `waker` registered while an exchange waits; cancel() calls it.
    class Watch {
    public:
        Watch(Cancellation* cancellation, Waker* waker)
            : cancellation_(cancellation), waker_(waker) {
            if (cancellation_) {
                QMutexLocker lock(&cancellation_->mutex_);
                cancellation_->waiting_.push_back(waker_);
            }
        }
        ~Watch() {
            if (cancellation_) {
                QMutexLocker lock(&cancellation_->mutex_);
                std::vector<Waker*>& waiting = cancellation_->waiting_;
                waiting.erase(std::find(waiting.begin(), waiting.end(), waker_));
            }
        }
        Watch(const Watch&) = delete;
        Watch& operator=(const Watch&) = delete;

    private:
        Cancellation* cancellation_;
        Waker* waker_;
    };

private:
    std::atomic<bool> cancelled_{false};
    QMutex mutex_;  // guards waiting_ and the pauses' wait
    QWaitCondition cancelledSignal_;
    std::vector<Waker*> waiting_;
};

// True when `cancellation` exists and was cancelled.
inline bool isCancelled(const Cancellation* cancellation) {
    return cancellation && cancellation->isCancelled();
}

}  // namespace pelloran

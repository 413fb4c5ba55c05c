#pragma once
// The end of a program's network work, for a front end that is closing: cancel() ends every
// exchange in flight under it at once, with no response, and makes every later one end before
// it starts; pauses taken under it (a retry's wait) end too. Nothing is undone: an exchange
// either delivered its answer before the cancel or delivers none.
//
// An exchange in flight registers the libcurl multi handle it waits on (Watch), so that
// cancel() can wake it from its poll rather than let it notice on its own up to a second
// later. Thread-safe; cancel() may be called from any thread, once or many times.

#include <QDeadlineTimer>
#include <QMutex>
#include <QWaitCondition>
#include <atomic>
#include <vector>

typedef void CURLM;  // NOLINT: libcurl's own opaque type

namespace pelloran {

class Cancellation {
public:
    Cancellation() = default;
    Cancellation(const Cancellation&) = delete;
    Cancellation& operator=(const Cancellation&) = delete;

    void cancel();
    bool isCancelled() const { return cancelled_.load(); }

    // Sleeps until `until`; false at once when cancelled (before or while sleeping).
    bool pauseUntil(const QDeadlineTimer& until);

    // Keeps `multi` registered while an exchange waits on it; cancel() wakes it.
    class Watch {
    public:
        Watch(Cancellation* cancellation, CURLM* multi);
        ~Watch();
        Watch(const Watch&) = delete;
        Watch& operator=(const Watch&) = delete;

    private:
        Cancellation* cancellation_;
        CURLM* multi_;
    };

private:
    std::atomic<bool> cancelled_{false};
    QMutex mutex_;  // guards waiting_ and the pauses' wait
    QWaitCondition cancelledSignal_;
    std::vector<CURLM*> waiting_;
};

// True when `cancellation` exists and was cancelled.
inline bool isCancelled(const Cancellation* cancellation) {
    return cancellation && cancellation->isCancelled();
}

}  // namespace pelloran

#pragma once
// A polite pace towards one site, for the runs nobody watches: at most one request to the
// site's hosts in flight, the starts of two requests at least `minInterval` apart, and, once the
// site asked to slow down (slow_down.h), no start before the time it named. Requests to other
// hosts (the member's BitTorrent client) are not paced.
//
// Requests take their turns in the order they asked. The wait for a turn counts against the
// member action's deadline only, never against the exchange's own time limit: ten pages queued
// behind each other each still get their full limit once they start.
//
// Thread-safe; waits on a condition variable.

#include <QDeadlineTimer>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QWaitCondition>
#include <chrono>
#include <deque>
#include <optional>

namespace pelloran {

class Cancellation;

class RequestPacer {
public:
    using Clock = std::chrono::steady_clock;

    // `hosts`: "host" or "host:port" as the configuration writes them (the site and its forum).
    RequestPacer(std::chrono::milliseconds minInterval, const QStringList& hosts);

    // Whether requests to `url` are paced.
    bool covers(const QString& url) const;

    struct Turn {
        bool granted = false;
        // Not granted because the site asked to wait longer than the request can: this long.
        std::optional<std::chrono::seconds> heldFor;
    };
    // Waits for the request's turn, at most until `deadline`. A wait the site asked for is
    // only waited out when it ends within `maxHold` and before `deadline`; otherwise the turn
    // is refused at once with heldFor set. Not granted otherwise when the deadline passed. A
    // granted turn must be given back with release() when the exchange ends. A cancellation
    // (the program closing) ends the wait at once, not granted.
    Turn acquire(const QDeadlineTimer& deadline, std::chrono::milliseconds maxHold,
                 Cancellation* cancellation = nullptr);
    void release();

    // The site asked not to be sent anything for `wait`: later starts wait until then.
    void holdFor(std::chrono::seconds wait);

    std::chrono::milliseconds minInterval() const { return minInterval_; }
    int started() const;  // turns granted so far

private:
    static QString authorityOf(const QString& url);

    const std::chrono::milliseconds minInterval_;
    QStringList hosts_;  // "host:port", lower case
    mutable QMutex mutex_;
    QWaitCondition changed_;
    std::deque<quint64> waiting_;  // tickets, in the order asked
    quint64 nextTicket_ = 0;
    bool busy_ = false;
    std::optional<Clock::time_point> lastStart_;
    std::optional<Clock::time_point> heldUntil_;
    int started_ = 0;
};

// One exchange's turn with a pacer, given back when it goes out of scope. A null pacer, or one
// that doesn't cover the URL, grants at once.
class PacedTurn {
public:
    PacedTurn(RequestPacer* pacer, const QString& url, const QDeadlineTimer& deadline,
              std::chrono::milliseconds maxHold, Cancellation* cancellation = nullptr);
    ~PacedTurn();
    PacedTurn(const PacedTurn&) = delete;
    PacedTurn& operator=(const PacedTurn&) = delete;

    bool granted() const { return turn_.granted; }
    std::optional<std::chrono::seconds> heldFor() const { return turn_.heldFor; }

private:
    RequestPacer* pacer_ = nullptr;  // set only while a turn is held
    RequestPacer::Turn turn_;
};

}  // namespace pelloran

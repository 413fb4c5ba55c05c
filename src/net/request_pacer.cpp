#include "net/request_pacer.h"

#include "net/cancellation.h"
#include "net/deadline.h"

#include <QUrl>
#include <algorithm>

namespace pelloran {

namespace {

using std::chrono::ceil;
using std::chrono::milliseconds;
using std::chrono::seconds;

int defaultPort(const QUrl& url) {
    return url.scheme() == QLatin1StringView("https") ? 443 : 80;
}

}  // namespace

RequestPacer::RequestPacer(milliseconds minInterval, const QStringList& hosts)
    : minInterval_(std::max(minInterval, milliseconds(0))) {
    for (const QString& host : hosts) {
        const QString authority = authorityOf(QStringLiteral("http://") + host + QLatin1Char('/'));
        if (!authority.isEmpty()) {
            hosts_.append(authority);
        }
    }
}

QString RequestPacer::authorityOf(const QString& url) {
    const QUrl u(url);
    if (!u.isValid() || u.host().isEmpty()) {
        return QString();
    }
    return u.host().toLower() + QLatin1Char(':') + QString::number(u.port(defaultPort(u)));
}

bool RequestPacer::covers(const QString& url) const {
    const QString authority = authorityOf(url);
    return !authority.isEmpty() && hosts_.contains(authority);
}

RequestPacer::Turn RequestPacer::acquire(const QDeadlineTimer& deadline, milliseconds maxHold,
                                         Cancellation* cancellation) {
    // A cancel wakes the wait below. It calls the waker under the cancellation's lock and the
    // waker takes this one, so the watch begins before this lock is taken and ends after.
    struct CancelWaker final : Waker {
        explicit CancelWaker(RequestPacer& p) : pacer(p) {}
        void wake() override {
            QMutexLocker lock(&pacer.mutex_);
            pacer.changed_.wakeAll();
        }
        RequestPacer& pacer;
    } waker(*this);
    const Cancellation::Watch watch(cancellation, &waker);
    QMutexLocker lock(&mutex_);
    const quint64 ticket = nextTicket_++;
    waiting_.push_back(ticket);
    const auto leave = [&](Turn turn) {
        waiting_.erase(std::find(waiting_.begin(), waiting_.end(), ticket));
        changed_.wakeAll();  // the next in line may go now
        return turn;
    };
    for (;;) {
        if (isCancelled(cancellation)) {
            return leave(Turn{});
        }
        const Clock::time_point now = Clock::now();
        if (heldUntil_ && *heldUntil_ > now) {
            const auto held = *heldUntil_ - now;
            const bool pastDeadline =
                !deadline.isForever() && held > milliseconds(deadline.remainingTime());
            if (held > maxHold || pastDeadline) {
                return leave(Turn{false, ceil<seconds>(held)});
            }
        }
        QDeadlineTimer wake = deadline;
        if (waiting_.front() == ticket && !busy_) {
            Clock::time_point earliest = lastStart_ ? *lastStart_ + minInterval_ : now;
            if (heldUntil_) {
                earliest = std::max(earliest, *heldUntil_);
            }
            if (earliest <= now) {
                waiting_.pop_front();
                busy_ = true;
                lastStart_ = now;
                ++started_;
                return Turn{true, std::nullopt};
            }
            wake = earlierDeadline(deadline, QDeadlineTimer(ceil<milliseconds>(earliest - now)));
        }
        if (deadline.hasExpired()) {
            return leave(Turn{});
        }
        changed_.wait(&mutex_, wake);
    }
}

void RequestPacer::release() {
    QMutexLocker lock(&mutex_);
    busy_ = false;
    changed_.wakeAll();
}

void RequestPacer::holdFor(seconds wait) {
    QMutexLocker lock(&mutex_);
    const Clock::time_point until = Clock::now() + wait;
    heldUntil_ = heldUntil_ ? std::max(*heldUntil_, until) : until;
    changed_.wakeAll();
}

int RequestPacer::started() const {
    QMutexLocker lock(&mutex_);
    return started_;
}

PacedTurn::PacedTurn(RequestPacer* pacer, const QString& url, const QDeadlineTimer& deadline,
                     milliseconds maxHold, Cancellation* cancellation) {
    if (!pacer || !pacer->covers(url)) {
        turn_.granted = true;
        return;
    }
    turn_ = pacer->acquire(deadline, maxHold, cancellation);
    if (turn_.granted) {
        pacer_ = pacer;
    }
}

PacedTurn::~PacedTurn() {
    if (pacer_) {
        pacer_->release();
    }
}

}  // namespace pelloran

#include "net/session.h"

#include <QThread>
#include <algorithm>

namespace pelloran {

Session::Session(const QString& loginUrl, const QString& loginTitle)
    : loginUrl_(loginUrl), loginTitle_(loginTitle) {}

bool Session::isLoginHeader(const std::optional<QString>& text) const {
    if (!text) {
        return true;
    }
    return *text == loginTitle_ || text->contains(loginTitle_);
}

void Session::setSessionValidated(bool valid) {
    QMutexLocker lock(&mutex_);
    sessionValidated_.store(valid);
    if (valid) {
        reloginRunning_ = false;
        abandoned_ = false;
        validated_.wakeAll();
    }
}

void Session::waitForHandlerCallsLocked(QMutexLocker<QMutex>& lock) {
    // A handler that replaces handlers itself must not wait for its own call.
    const Qt::HANDLE self = QThread::currentThreadId();
    while (std::any_of(handlerThreads_.cbegin(), handlerThreads_.cend(),
                       [self](Qt::HANDLE t) { return t != self; })) {
        handlerReturned_.wait(lock.mutex());
    }
}

void Session::setReloginHandler(ReloginHandler handler) {
    QMutexLocker lock(&mutex_);
    waitForHandlerCallsLocked(lock);
    handler_ = std::move(handler);
}

void Session::setRefusalHandler(RefusalHandler handler) {
    QMutexLocker lock(&mutex_);
    waitForHandlerCallsLocked(lock);
    refusalHandler_ = std::move(handler);
}

void Session::setClock(Clock clock) {
    QMutexLocker lock(&mutex_);
    clock_ = std::move(clock);
}

void Session::setReloginLimit(int limit) {
    QMutexLocker lock(&mutex_);
    reloginsLeft_ = std::max(0, limit);
}

void Session::signInAccepted() {
    QMutexLocker lock(&mutex_);
    acceptedSignIns_.fetch_add(1);
    reloginRunning_ = false;
    abandoned_ = false;
    sessionValidated_.store(true);
    validated_.wakeAll();
}

void Session::reloginFailed() {
    QMutexLocker lock(&mutex_);
    reloginRunning_ = false;
    sessionValidated_.store(false);
}

void Session::stampTicket(SessionTicket& ticket) const {
    ticket.acceptedAtSend = acceptedSignIns_.load();
}

Session::Start Session::startReloginLocked() {
    if (reloginRunning_) {
        return Start::Running;
    }
    const auto now = clock_ ? clock_() : std::chrono::steady_clock::now();
    while (!reloginStarts_.empty() && now - reloginStarts_.front() >= kReloginWindow) {
        reloginStarts_.pop_front();
    }
    sessionValidated_.store(false);
    if (reloginStarts_.size() >= size_t(kMaxReloginsPerWindow) ||
        (reloginsLeft_ && *reloginsLeft_ <= 0)) {
        return Start::Refused;
    }
    if (reloginsLeft_) {
        --*reloginsLeft_;
    }
    reloginStarts_.push_back(now);
    reloginRunning_ = true;
    return Start::Started;
}

void Session::runHandler(Start start) {
    if (start == Start::Running) {
        return;  // the request waits for the re-login that runs
    }
    // Handlers run without the lock: they may report their outcome at once. Their owner may
    // remove them meanwhile; it then waits for this call (waitForHandlerCallsLocked).
    std::function<void()> call;
    const Qt::HANDLE self = QThread::currentThreadId();
    {
        QMutexLocker lock(&mutex_);
        if (closed_.load()) {
            return;
        }
        call = start == Start::Started ? handler_ : refusalHandler_;
        if (call) {
            handlerThreads_.append(self);
        }
    }
    (start == Start::Started ? reloginCount_ : refusalCount_).fetch_add(1);
    if (!call) {
        return;
    }
    call();
    QMutexLocker lock(&mutex_);
    handlerThreads_.removeOne(self);
    handlerReturned_.wakeAll();
}

bool Session::sessionInvalidated() {
    Start start;
    {
        QMutexLocker lock(&mutex_);
        start = startReloginLocked();
    }
    runHandler(start);
    return start == Start::Started;
}

SessionStop Session::loginPageMet(SessionTicket& ticket, QDeadlineTimer deadline) {
    Start start = Start::Running;
    {
        QMutexLocker lock(&mutex_);
        if (gaveUpLocked()) {
            return SessionStop::Abandoned;  // nobody will sign in for this request
        }
        if (ticket.renewed) {
            // The site took a sign-in and still answers with its login page: signing in once
            // more would only repeat that, with the member's password each time.
            keepsAskingCount_.fetch_add(1);
            return SessionStop::KeepsAsking;
        }
        if (sessionValidated_.load()) {
            if (acceptedSignIns_.load() > ticket.acceptedAtSend) {
                // Sent before a sign-in was accepted: the answer was to the old cookies.
                ticket.renewed = true;
                return SessionStop::None;
            }
            start = startReloginLocked();
        }
    }
    runHandler(start);
    QMutexLocker lock(&mutex_);
    while (!sessionValidated_.load()) {
        if (gaveUpLocked()) {
            return SessionStop::Abandoned;
        }
        if (!validated_.wait(&mutex_, deadline) && !sessionValidated_.load()) {
            return SessionStop::OutOfTime;
        }
    }
    ticket.renewed = acceptedSignIns_.load() > ticket.acceptedAtSend;
    return SessionStop::None;
}

bool Session::waitUntilValidated(QDeadlineTimer deadline) {
    QMutexLocker lock(&mutex_);
    while (!sessionValidated_.load()) {
        if (gaveUpLocked() || !validated_.wait(&mutex_, deadline)) {
            return sessionValidated_.load();
        }
    }
    return true;
}

void Session::abandonWaits() {
    QMutexLocker lock(&mutex_);
    abandoned_ = true;
    validated_.wakeAll();
}

void Session::close() {
    QMutexLocker lock(&mutex_);
    closed_.store(true);
    validated_.wakeAll();
}

}  // namespace pelloran

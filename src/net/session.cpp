#include "net/session.h"

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
        abandoned_ = false;
        validated_.wakeAll();
    }
}

void Session::setReloginHandler(ReloginHandler handler) {
    QMutexLocker lock(&mutex_);
    handler_ = std::move(handler);
}

void Session::sessionInvalidated() {
    ReloginHandler handler;
    {
        QMutexLocker lock(&mutex_);
        sessionValidated_.store(false);
        abandoned_ = false;  // a new attempt: nobody has given up on it yet
        handler = handler_;
    }
    reloginCount_.fetch_add(1);
    if (handler) {
        handler();
    }
}

bool Session::waitUntilValidated(QDeadlineTimer deadline) {
    QMutexLocker lock(&mutex_);
    while (!sessionValidated_.load()) {
        if (abandoned_ || !validated_.wait(&mutex_, deadline)) {
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

}  // namespace pelloran

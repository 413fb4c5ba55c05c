#pragma once
// The site session as every fetch thread sees it: whether the main interface is showing
// (`showLogin`), whether the session is believed valid (`sessionValidated`), and who renews a
// lost session (the re-login handler the front end registers).
//
// A request that meets the site's login page while the main interface is showing calls
// sessionInvalidated() (when the session was still believed valid) and then waits until the
// session is valid again, or until the front end gives up on re-login (abandonWaits()).
// All members are thread-safe.

#include <QDeadlineTimer>
#include <QMutex>
#include <QString>
#include <QWaitCondition>
#include <atomic>
#include <functional>
#include <optional>

namespace pelloran {

class Session {
public:
    Session(const QString& loginUrl, const QString& loginTitle);

    // The login page address and title, handed over from the site configuration.
    QString loginUrl() const { return loginUrl_; }
    QString loginTitle() const { return loginTitle_; }

    // True when `text` equals or contains the login title; also true for absent text.
    bool isLoginHeader(const std::optional<QString>& text) const;
    bool isLoginUrl(const QString& url) const { return url == loginUrl_; }

    bool sessionValidated() const { return sessionValidated_.load(); }
    void setSessionValidated(bool valid);  // true releases every waiting request
    bool showLogin() const { return showLogin_.load(); }
    void setShowLogin(bool showing) { showLogin_.store(showing); }

    // Called on a fetch thread; must not block for long (it starts the sign-in, it doesn't
    // wait for it). Register before any request can meet a lost session.
    using ReloginHandler = std::function<void()>;
    void setReloginHandler(ReloginHandler handler);

    // Marks the session lost and asks the front end to sign in again.
    void sessionInvalidated();

    // Blocks until the session is valid. False when the front end gave up in the meantime
    // (abandonWaits()) or `deadline` passed first; the caller must not repeat its request then.
    bool waitUntilValidated(QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever));

    // For a front end where nobody can sign in any more (the command line after a failed
    // re-login): every request waiting now, or starting to wait before the session is valid
    // again or a new re-login starts, stops waiting and fails.
    void abandonWaits();

    int reloginCount() const { return reloginCount_.load(); }  // how often the handler ran

private:
    const QString loginUrl_;
    const QString loginTitle_;
    std::atomic<bool> sessionValidated_{true};
    std::atomic<bool> showLogin_{false};
    std::atomic<int> reloginCount_{0};
    QMutex mutex_;  // guards handler_, abandoned_ and the wait
    QWaitCondition validated_;
    ReloginHandler handler_;
    bool abandoned_ = false;
};

}  // namespace pelloran

#pragma once
// The site session as every fetch thread sees it: whether the main interface is showing
// (`showLogin`), whether the session is believed valid (`sessionValidated`), and who renews a
// lost session (the re-login handler the front end registers).
//
// A request that meets the site's login page while the main interface is showing hands itself
// to loginPageMet(). The session then decides, for the whole process, whether a silent
// re-login starts, and the request waits for it and repeats its exchange. Limits, so that a
// site that never keeps a session can't make the program post the member's password for ever:
//  - at most one re-login runs at a time; requests that meet the login page meanwhile wait
//    for it;
//  - a request that meets the login page again after a sign-in the site accepted (while it
//    waited, or since it was sent) starts no re-login for itself: it ends without a page
//    (SessionStop::KeepsAsking);
//  - at most kMaxReloginsPerWindow re-logins start within kReloginWindow, and no more than the
//    limit a front end may set for the whole run (setReloginLimit: a run nobody watches signs
//    in once at most). A re-login needed beyond that is not started: the session counts as
//    failed, the refusal handler runs (the front end shows its login face, or gives up on the
//    waiting requests), and the requests wait as after a failed re-login.
//
// The front end reports every re-login it was asked for: signInAccepted() when the site took
// the sign-in, reloginFailed() when it refused the stored credentials, setSessionValidated(true)
// when the outcome is unknown (no answer at all). A sign-in by hand that the site accepts is
// also reported with signInAccepted().
//
// All members are thread-safe.

#include <QDeadlineTimer>
#include <QList>
#include <QMutex>
#include <QString>
#include <QWaitCondition>
#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <optional>

namespace pelloran {

// Why a request gave up its page because of the site session.
enum class SessionStop {
    None,         // the session did not stop the request
    Abandoned,    // the front end gave up on re-login while the request waited (abandonWaits)
    KeepsAsking,  // the login page came back right after a sign-in the site accepted
    OutOfTime,    // the member action's deadline passed while the request waited (deadline.h)
};

// One request's part in the lost-session rule; a request keeps one across its repeats.
struct SessionTicket {
    quint64 acceptedAtSend = 0;  // accepted sign-ins counted when the exchange was sent
    bool renewed = false;        // the request already repeated after an accepted sign-in
};

class Session {
public:
    static constexpr int kMaxReloginsPerWindow = 3;
    static constexpr std::chrono::seconds kReloginWindow{60};

    Session(const QString& loginUrl, const QString& loginTitle);

    // The login page address and title, handed over from the site configuration.
    QString loginUrl() const { return loginUrl_; }
    QString loginTitle() const { return loginTitle_; }

    // True when `text` equals or contains the login title; also true for absent text.
    bool isLoginHeader(const std::optional<QString>& text) const;
    bool isLoginUrl(const QString& url) const { return url == loginUrl_; }

    bool sessionValidated() const { return sessionValidated_.load(); }
    // True releases every waiting request; they repeat their exchange. It does not count as an
    // accepted sign-in (use signInAccepted() for that).
    void setSessionValidated(bool valid);
    bool showLogin() const { return showLogin_.load(); }
    void setShowLogin(bool showing) { showLogin_.store(showing); }

    // Called on a fetch thread when a re-login is to start; it must not block for long (it
    // starts the sign-in, it doesn't wait for it). Register before any request can meet a lost
    // session. Replacing or removing a handler waits until no call of the old one runs (on
    // another thread), so an owner that removes its handler is never called afterwards.
    using ReloginHandler = std::function<void()>;
    void setReloginHandler(ReloginHandler handler);
    // Called on a fetch thread when a re-login is needed beyond the limits: the session counts
    // as failed. The front end reacts as to a failed re-login. Replaced as the re-login handler.
    using RefusalHandler = std::function<void()>;
    void setRefusalHandler(RefusalHandler handler);

    // Outcomes of a re-login (or of a sign-in by hand).
    void signInAccepted();  // valid again; released requests count as renewed
    void reloginFailed();   // the site refused the credentials: the session stays invalid

    // Before each exchange: notes how many sign-ins were accepted so far.
    void stampTicket(SessionTicket& ticket) const;
    // The exchange stamped in `ticket` brought the login page while the main interface shows.
    // Starts or waits for a re-login under the limits above, blocking the calling thread, at
    // most until `deadline`. None: repeat the exchange. Otherwise the request ends without a
    // page.
    SessionStop loginPageMet(SessionTicket& ticket,
                             QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever));

    // Marks the session lost and asks the front end to sign in again, unless a re-login runs
    // already or the limits refuse it (then the refusal handler runs). True when one started.
    bool sessionInvalidated();

    // Blocks until the session is valid. False when the front end gave up in the meantime
    // (abandonWaits()) or `deadline` passed first; the caller must not repeat its request then.
    bool waitUntilValidated(QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever));

    // For a front end where nobody can sign in any more (the command line after a failed
    // re-login): every request waiting now, or starting to wait before a sign-in is accepted
    // (or the session is marked valid), stops waiting and fails. A re-login asked for
    // meanwhile doesn't undo it.
    void abandonWaits();
    // For a front end that is closing: like abandonWaits(), for good. No handler is called
    // any more, and every wait ends at once, whatever is reported afterwards.
    void close();
    bool isClosed() const { return closed_.load(); }

    // At most `limit` re-logins from now on, for as long as the session lives.
    void setReloginLimit(int limit);

    int reloginCount() const { return reloginCount_.load(); }  // how often the handler ran
    int refusalCount() const { return refusalCount_.load(); }  // re-logins the limits refused
    // Requests that ended because the login page came back right after an accepted sign-in.
    int keepsAskingCount() const { return keepsAskingCount_.load(); }

    // The clock the re-login window is measured on (steady; tests may set their own).
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    void setClock(Clock clock);

private:
    enum class Start { Started, Running, Refused };
    Start startReloginLocked();  // mutex_ held
    void runHandler(Start start);
    // Until no other thread runs a handler's call. mutex_ held by `lock`.
    void waitForHandlerCallsLocked(QMutexLocker<QMutex>& lock);
    bool gaveUpLocked() const { return abandoned_ || closed_.load(); }

    const QString loginUrl_;
    const QString loginTitle_;
    std::atomic<bool> sessionValidated_{true};
    std::atomic<bool> showLogin_{false};
    std::atomic<int> reloginCount_{0};
    std::atomic<int> refusalCount_{0};
    std::atomic<int> keepsAskingCount_{0};
    std::atomic<quint64> acceptedSignIns_{0};
    std::atomic<bool> closed_{false};
    QMutex mutex_;  // guards everything below and the wait
    QWaitCondition validated_;
    QWaitCondition handlerReturned_;
    ReloginHandler handler_;
    RefusalHandler refusalHandler_;
    QList<Qt::HANDLE> handlerThreads_;  // threads running a handler's call now
    bool reloginRunning_ = false;
    bool abandoned_ = false;
    std::deque<std::chrono::steady_clock::time_point> reloginStarts_;  // within the window
    std::optional<int> reloginsLeft_;  // the run's own limit, when one is set
    Clock clock_;
};

}  // namespace pelloran

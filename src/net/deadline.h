#pragma once
// One deadline per member action.
//
// A member action ends within one time limit in all, however many exchanges it makes: a sign-in
// (session check, form and what follows it: CAPTCHA challenge, announcement) or a push (torrent
// fetch, handshake, upload, RPC fallback). The front end starts the clock when the action
// starts and hands the action's operations a context that carries it:
//
//     const SiteContext attempt = site.withDeadline(startAction());
//     queue.addOperation(std::make_unique<FetchPageLoginCheck>(checkUrl, attempt, ...));
//     ... then, in the same attempt, FetchPageSignIn(..., attempt, ...)
//
// Every exchange made with that context is limited to the earlier of its own limit and the
// deadline (url_loader.h says what a limit covers). An exchange that would start after the
// deadline ends at once with no response, and a request waiting for a silent re-login stops
// waiting at the deadline and delivers no page. Contexts outside an action carry Forever: each
// exchange then has only its own limit.

#include "net/cancellation.h"

#include <QDeadlineTimer>
#include <chrono>
#include <thread>

namespace pelloran {

// How long a sign-in or a push may take in all.
inline constexpr std::chrono::seconds kActionTimeLimit{60};

// A deadline `limit` from now.
inline QDeadlineTimer startAction(std::chrono::milliseconds limit = kActionTimeLimit) {
    return QDeadlineTimer(limit);
}

// The earlier of two deadlines; Forever only when both are.
inline QDeadlineTimer earlierDeadline(const QDeadlineTimer& a, const QDeadlineTimer& b) {
    if (a.isForever()) {
        return b;
    }
    if (b.isForever()) {
        return a;
    }
    return a.deadlineNSecs() <= b.deadlineNSecs() ? a : b;
}

// Pauses the calling (operation) thread for `pause` when that ends before `deadline`; returns
// at once with false otherwise, so a short wait between two asks never outlives the action.
// A cancellation (the program closing) ends the pause at once, with false.
inline bool pauseWithin(std::chrono::milliseconds pause, const QDeadlineTimer& deadline,
                        Cancellation* cancellation = nullptr) {
    if (!deadline.isForever() && std::chrono::milliseconds(deadline.remainingTime()) <= pause) {
        return false;
    }
    if (cancellation) {
        return cancellation->pauseUntil(QDeadlineTimer(pause));
    }
    std::this_thread::sleep_for(pause);
    return true;
}

}  // namespace pelloran

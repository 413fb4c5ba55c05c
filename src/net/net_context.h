#pragma once
// What every HTTP exchange needs from the running program: the shared cookie store, the session
// state, and the deadline of the member action it belongs to (deadline.h). The store and the
// session outlive every request made with them.

#include "net/deadline.h"

#include <QDeadlineTimer>

namespace pelloran {

class CookieStore;
class Session;

struct NetContext {
    CookieStore* cookies = nullptr;
    Session* session = nullptr;
    QDeadlineTimer deadline{QDeadlineTimer::Forever};  // Forever outside a member action

    // A copy whose deadline is the earlier of this one's and `actionDeadline`.
    NetContext withDeadline(const QDeadlineTimer& actionDeadline) const {
        NetContext copy = *this;
        copy.deadline = earlierDeadline(deadline, actionDeadline);
        return copy;
    }
};

}  // namespace pelloran

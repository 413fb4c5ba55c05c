#pragma once
// What every HTTP exchange needs from the running program: the shared cookie store, the session
// state, the deadline of the member action it belongs to (deadline.h), for a run nobody
// watches the pace its requests to the site keep (request_pacer.h), and the program's
// cancellation (cancellation.h), which ends every exchange when the program closes. The store,
// the session, the pacer and the cancellation outlive every request made with them.

#include "net/deadline.h"

#include <QDeadlineTimer>

namespace pelloran {

class Cancellation;
class CookieStore;
class RequestPacer;
class Session;

struct NetContext {
    CookieStore* cookies = nullptr;
    Session* session = nullptr;
    QDeadlineTimer deadline{QDeadlineTimer::Forever};  // Forever outside a member action
    RequestPacer* pacer = nullptr;                     // null: requests go as fast as they come
    Cancellation* cancellation = nullptr;              // none: exchanges run to their limit

    // A copy whose deadline is the earlier of this one's and `actionDeadline`.
    NetContext withDeadline(const QDeadlineTimer& actionDeadline) const {
        NetContext copy = *this;
        copy.deadline = earlierDeadline(deadline, actionDeadline);
        return copy;
    }
    NetContext withPacer(RequestPacer* requestPacer) const {
        NetContext copy = *this;
        copy.pacer = requestPacer;
        return copy;
    }
};

}  // namespace pelloran

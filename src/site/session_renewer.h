#pragma once
// Renews a lost site session without the member: registered as the Session's re-login
// handler, it posts the sign-in form with the stored credentials on its own queue and judges
// the answer on that queue's thread. Success marks the session valid, which releases every
// waiting request; failure is handed to the front end (the login face, or an error exit).
// The Session decides when a re-login may start at all (one at a time, a few a minute).

#include "net/operation_queue.h"
#include "site/sign_in.h"
#include "site/site_context.h"

#include <functional>

namespace pelloran {

class SessionRenewer {
public:
    // `onFailure` runs on a fetch or sign-in thread when the session can't be renewed: the
    // stored credentials no longer sign in (the login page came back, with the judged message),
    // or the session refused another re-login because the site keeps asking for one
    // (kSiteKeepsAskingMessage). The session stays invalid.
    using FailureHandler = std::function<void(const SignInVerdict& verdict)>;
    SessionRenewer(const SiteContext& site, FailureHandler onFailure);
    // Unregisters, then waits for a sign-in still running (the queue does on destruction).
    ~SessionRenewer();
    SessionRenewer(const SessionRenewer&) = delete;
    SessionRenewer& operator=(const SessionRenewer&) = delete;

    // Registers with the session. The renewer must outlive every request that may call it.
    void install();

private:
    void renew();

    SiteContext site_;
    FailureHandler onFailure_;
    OperationQueue queue_{1};
};

}  // namespace pelloran

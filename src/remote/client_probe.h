#pragma once
// One look at the member's client without sending it anything to add: the adapter's handshake
// (which signs in, for the clients that sign in), then its web interface with the stored
// credentials (in the Authorization header, for the clients that take them so; the others'
// pages are fetched without them, so the page never counts as a second sign-in). The connection
// test shows what it found; the automatic push asks it once before its first download, so that a
// client that can't take torrents costs the site no download and the client no more than the one
// sign-in.
//
// Blocks the calling thread: the handshake and the page, each bounded by kRemoteTimeoutSeconds
// and both by the deadline `net` carries.

#include "net/net_context.h"
#include "remote/bit_client.h"
#include "remote/push_outcome.h"
#include "remote/server_info.h"

#include <QString>
#include <optional>

namespace pelloran {

struct ClientProbe {
    bool clientChosen = false;  // false: no client is set up, nothing was asked
    SignInState signIn = SignInState::NotChecked;
    bool answered = false;        // the web interface gave an HTTP answer of any status
    bool valid = false;           // ... and that answer was a success
    int status = 0;               // its status when it answered
    std::optional<QString> page;  // its text when it answered

    // The web interface answered with success, and the sign-in (where there is one) took.
    bool reached() const;
    // The failure every push to this client would meet now, if any: a refused or banned
    // sign-in, or no answer. A page that merely failed (a 404 at the root, say) is no reason to
    // hold a push back: only the push's own answer tells then.
    std::optional<PushOutcome> stopper() const;
};

ClientProbe probeClient(const ServerInfo::Values& settings, const NetContext& net);

}  // namespace pelloran

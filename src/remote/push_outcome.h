#pragma once
// How a push to the member's client ended.

namespace pelloran {

enum class PushOutcome {
    Sent,          // the client took the torrent
    AlreadyThere,  // the client answered that it holds this torrent already: done all the same
    Refused,       // refused, unanswered, or no client to send to
    Banned,        // the client refuses to sign this address in after too many wrong passwords
};

}  // namespace pelloran

#pragma once
// How a push to the member's client ended. Only the client's own words make a push Sent or
// AlreadyThere (each adapter says which words count); everything else is a failure, told apart
// by what trying again would do.

#include <QString>

namespace pelloran {

enum class PushOutcome {
    Sent,           // the client said it took the torrent
    AlreadyThere,   // the client answered that it holds this torrent already: done all the same
    Refused,        // the client refused this torrent, or answered without saying it took it
    SignInRefused,  // the client refused the credentials: every further try brings a ban nearer
    Banned,         // the client refuses to sign this address in after too many wrong passwords
    Unreachable,    // no answer from the client at all (or, for Deluge, from its daemon)
};

// An outcome with, for a push refused over its options, the reason in words: the client's own
// ("qBittorrent refused the category ...: Incorrect category name") or ours when it was refused
// before anything was sent ("Transmission has no category."). The reason never carries an
// address or a credential.
struct PushReply {
    // Implicit: an outcome alone is a result without a reason.
    PushReply(PushOutcome outcome = PushOutcome::Refused, QString reason = QString())
        : outcome(outcome), reason(std::move(reason)) {}

    PushOutcome outcome;
    QString reason;  // "" for every failure the connection alert covers
};

// The client took the torrent, or had it: the push is done.
inline bool isDone(PushOutcome outcome) {
    return outcome == PushOutcome::Sent || outcome == PushOutcome::AlreadyThere;
}

// A failure that every further push to the same client would meet too, so a run that pushes
// several torrents stops sending to it.
inline bool stopsTheClient(PushOutcome outcome) {
    return outcome == PushOutcome::SignInRefused || outcome == PushOutcome::Banned ||
           outcome == PushOutcome::Unreachable;
}

}  // namespace pelloran

#pragma once
// The alerts the push and the connection test raise, word for word as the member sees them.
// They never carry an address, a user name or a password.

#include "net/slow_down.h"
#include "remote/alert_sink.h"
#include "remote/push_outcome.h"

#include <optional>

namespace pelloran::remote_alerts {

// The torrent file could not be fetched from the site.
inline Alert websiteProblem() {
    return Alert{QStringLiteral("Problem with website."),
                 QStringLiteral("The download url is bad."),
                 {QStringLiteral("Ok")}};
}

// The site asked to slow down instead of giving the torrent file.
inline Alert siteSlowDown(const SlowDown& slowDown) {
    return Alert{
        QStringLiteral("Problem with website."), slowDownMessage(slowDown), {QStringLiteral("Ok")}};
}

// The client refused the upload or the web-interface fetch, did not answer, or no client is
// chosen.
inline Alert connectionFailed() {
    return Alert{
        QStringLiteral("Connection with server failed."),
        QStringLiteral("Please make sure you have correctly setup your remote download settings."),
        {QStringLiteral("Ok")}};
}

// The client refuses to sign this device in for a while after too many wrong passwords. Said
// apart from the failure above, since trying again at once only prolongs it.
inline Alert clientBanned() {
    return Alert{QStringLiteral("Connection with server failed."),
                 QStringLiteral("Your BitTorrent client is refusing logins from this device after "
                                "too many wrong passwords. Please check the password in your "
                                "remote download settings, then try again later."),
                 {QStringLiteral("Ok")}};
}

// The client already had the torrent: the push counts as done (history, sent mark), and the
// member learns why nothing new appears in the client.
inline Alert alreadySent() {
    return Alert{QStringLiteral("Torrent already on server."),
                 QStringLiteral("Your BitTorrent client already has this torrent."),
                 {QStringLiteral("Ok")},
                 0,
                 AlertKind::Information};
}

// The client refused where or how the torrent was to go (a category, tags, a save path, start
// paused), or one of them was refused before anything was sent: `reason` says which and why,
// in the client's own words where it gave any.
inline Alert pushOptionRefused(const QString& reason) {
    return Alert{QStringLiteral("Torrent not sent."), reason, {QStringLiteral("Ok")}};
}

// The alert a push that ended so raises; none for a push that is done.
inline std::optional<Alert> forPushOutcome(const PushReply& result) {
    if (result.outcome == PushOutcome::Refused && !result.reason.isEmpty()) {
        return pushOptionRefused(result.reason);
    }
    switch (result.outcome) {
        case PushOutcome::Sent:
            return std::nullopt;
        case PushOutcome::AlreadyThere:
            return alreadySent();
        case PushOutcome::Banned:
            return clientBanned();
        case PushOutcome::Refused:
        case PushOutcome::SignInRefused:
        case PushOutcome::Unreachable:
            break;
    }
    return connectionFailed();
}

// The connection test reached the client's web interface.
inline Alert connectionTestSucceeded() {
    return Alert{QStringLiteral("Success!"), QString(), {QStringLiteral("Ok")}};
}

}  // namespace pelloran::remote_alerts

#pragma once
// The alerts the push and the connection test raise, word for word as the member sees them.
// They never carry an address, a user name or a password.

#include "remote/alert_sink.h"

namespace pelloran::remote_alerts {

// The torrent file could not be fetched from the site.
inline Alert websiteProblem() {
    return Alert{QStringLiteral("Problem with website."),
                 QStringLiteral("The download url is bad."),
                 {QStringLiteral("Ok")}};
}

// The client refused the upload or the web-interface fetch, did not answer, or no client is
// chosen.
inline Alert connectionFailed() {
    return Alert{
        QStringLiteral("Connection with server failed."),
        QStringLiteral("Please make sure you have correctly setup your remote download settings."),
        {QStringLiteral("Ok")}};
}

// The connection test reached the client's web interface.
inline Alert connectionTestSucceeded() {
    return Alert{QStringLiteral("Success!"), QString(), {QStringLiteral("Ok")}};
}

}  // namespace pelloran::remote_alerts

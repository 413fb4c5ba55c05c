#pragma once
// One desktop notification through the freedesktop notification service on the session bus
// (org.freedesktop.Notifications, over Qt D-Bus), for runs nobody watches. Bounded: a bus or a
// service that doesn't answer within kNotifyTimeoutMs counts as none.

#include <QString>

namespace pelloran::cli {

inline constexpr int kNotifyTimeoutMs = 5000;

enum class NotifyResult {
    Shown,         // the service took it
    NoSessionBus,  // no session bus to send it on
    NoService,     // the bus has no notification service, or it refused or did not answer
};

// `urgent`: a failure the member should look at (the service may keep it on screen).
NotifyResult notifyDesktop(const QString& title, const QString& body, bool urgent);

}  // namespace pelloran::cli

// One desktop notification over Qt D-Bus, in the pelloran_desktop module: the command line
// loads it only when a run has something to say.

#include "cli/desktop_notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace pelloran::cli {

namespace {

// The urgency hint's levels.
constexpr uchar kNormalUrgency = 1;
constexpr uchar kCriticalUrgency = 2;

NotifyResult notifyOnBus(const QString& title, const QString& body, bool urgent) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return NotifyResult::NoSessionBus;
    }
    // A plain call rather than an interface object: no introspection round trip first.
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap hints{
        {QStringLiteral("desktop-entry"), QStringLiteral("pelloran")},
        {QStringLiteral("urgency"),
         QVariant::fromValue(urgent ? kCriticalUrgency : kNormalUrgency)},
    };
    call << QStringLiteral("Pelloran") << uint(0) << QStringLiteral("pelloran") << title << body
         << QStringList() << hints << int(-1);
    const QDBusMessage reply = bus.call(call, QDBus::Block, kNotifyTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage ? NotifyResult::Shown
                                                      : NotifyResult::NoService;
}

}  // namespace

}  // namespace pelloran::cli

extern "C" Q_DECL_EXPORT int pelloranNotifyDesktop(const QString& title, const QString& body,
                                                   bool urgent) {
    return static_cast<int>(pelloran::cli::notifyOnBus(title, body, urgent));
}

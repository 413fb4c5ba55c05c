#pragma once
// The publisher's announcement, asked once after each successful sign-in: "STOP:message" keeps
// the member out, "GO:message" shows the message first, anything else lets the member in.

#include "net/net_context.h"

#include <QString>

namespace pelloran {

struct SiteConfig;

struct Announcement {
    enum class Kind { Proceed, Stop, Go };
    Kind kind = Kind::Proceed;
    QString message;  // the text between the first and the second colon; "" when none
};

inline constexpr int kAnnouncementTimeoutSeconds = 3;

// "http://" + announcement host + "/pelloran.php?v=..&m=..&p=.." (values percent-escaped; the
// model has its spaces removed).
QString announcementUrl(const SiteConfig& config, const QString& version, const QString& model,
                        const QString& osVersion);

// Reads an announcement answer: no valid answer or an empty text lets the member in.
Announcement parseAnnouncement(bool responseValid, const std::optional<QString>& text);

// The whole check: one GET with a 3-second limit. Blocks the calling thread for up to 3 s.
Announcement checkAnnouncement(const SiteConfig& config, const NetContext& net,
                               const QString& version);

// What this machine calls itself, for the announcement query.
QString deviceModelName();
QString operatingSystemVersion();

}  // namespace pelloran

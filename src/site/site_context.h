#pragma once
// What the site scrapers need from the running program. Everything pointed to outlives every
// operation made with it; the front end owns one of each.

#include "net/net_context.h"

namespace pelloran {

class ActivityRecorder;
class SecretStore;
class SettingsStore;
class UserInfo;
struct SiteConfig;

struct SiteContext {
    NetContext net;
    const SiteConfig* config = nullptr;
    SettingsStore* settings = nullptr;
    UserInfo* userInfo = nullptr;
    // Where the site password is kept; null: in the settings file.
    SecretStore* secrets = nullptr;
    // Where the member bar of each page read goes (member_sample.h); null: nowhere.
    ActivityRecorder* activity = nullptr;

    // A copy for one member action: its exchanges end by `actionDeadline` (deadline.h).
    SiteContext withDeadline(const QDeadlineTimer& actionDeadline) const {
        SiteContext copy = *this;
        copy.net = net.withDeadline(actionDeadline);
        return copy;
    }
};

}  // namespace pelloran

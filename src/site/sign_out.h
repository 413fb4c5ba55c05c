#pragma once
// Signing out of the site: the session lives only in cookies, so forgetting it is deleting them.

#include <QStringList>

namespace pelloran {

class CookieStore;
struct SiteConfig;

// The domains whose cookies hold the session: the site cookie domain, the CAPTCHA service's,
// and the site host. A host given with a port is matched without it, as cookies never carry
// ports. Each domain once.
QStringList sessionCookieDomains(const SiteConfig& config);

// Deletes every cookie whose domain is exactly one of sessionCookieDomains(); other hosts'
// cookies (the forum's, the member's client's) stay. Returns how many went. Not saved here.
int deleteSessionCookies(CookieStore& cookies, const SiteConfig& config);

}  // namespace pelloran

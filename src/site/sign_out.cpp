#include "site/sign_out.h"

#include "net/cookie_store.h"
#include "site/site_config.h"

namespace pelloran {

QStringList sessionCookieDomains(const SiteConfig& config) {
    QStringList domains{config.cookieDomain, config.captchaCookieDomain,
                        hostWithoutPort(config.siteHost)};
    domains.removeAll(QString());
    domains.removeDuplicates();
    return domains;
}

int deleteSessionCookies(CookieStore& cookies, const SiteConfig& config) {
    int removed = 0;
    for (const QString& domain : sessionCookieDomains(config)) {
        removed += cookies.deleteCookiesWithDomain(domain);
    }
    return removed;
}

}  // namespace pelloran

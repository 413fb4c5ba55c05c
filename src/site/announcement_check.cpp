#include "site/announcement_check.h"

#include "site/site_config.h"

namespace pelloran {

FetchPageAnnouncement::FetchPageAnnouncement(const SiteContext& site, const QString& version,
                                             QObject* context, Callback callback)
    : FetchPageWith(QString(), context, std::move(callback)), site_(site), version_(version) {}

void FetchPageAnnouncement::main() {
    setReturnObject(checkAnnouncement(*site_.config, site_.net, version_));
}

}  // namespace pelloran

#pragma once
// The announcement check as a background operation: one GET with the 3-second limit on the
// login queue, its verdict delivered on the UI thread. The UI thread never waits for it.

#include "net/fetch_page.h"
#include "site/announcement.h"
#include "site/site_context.h"

namespace pelloran {

class FetchPageAnnouncement : public FetchPageWith<Announcement> {
public:
    FetchPageAnnouncement(const SiteContext& site, const QString& version, QObject* context,
                          Callback callback);

protected:
    void main() override;

private:
    SiteContext site_;
    QString version_;
};

}  // namespace pelloran

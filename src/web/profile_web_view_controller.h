#pragma once
// A member's profile page, opened from a torrent list: fetched on the screen's queue, cut down
// to the profile block, shown with its links made inert (the link script, and no navigation
// away from it). The back button works once the page has loaded. UI thread only.

#include "web/web_view_controller.h"

namespace pelloran::web {

class ProfileWebViewController : public WebViewController {
    Q_OBJECT
public:
    ProfileWebViewController(WebSession& session, const ScreenContext& context, const QString& url,
                             ListScreenTarget* target, QWidget* parent = nullptr);

    void viewWillAppear() override;

protected:
    bool shouldStartLoad(const QUrl& url, WebPage::NavigationType type) override;
};

}  // namespace pelloran::web

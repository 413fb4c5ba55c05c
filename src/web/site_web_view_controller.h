#pragma once
// The tab titled with the site's host: the site's home page as it is, fetched again every time
// the tab is shown. The member browses the whole site from there: every navigation is allowed
// and no script runs. UI thread only.

#include "web/web_view_controller.h"

namespace pelloran::web {

class SiteWebViewController : public WebViewController {
    Q_OBJECT
public:
    SiteWebViewController(WebSession& session, const ScreenContext& context,
                          ListScreenTarget* target, QWidget* parent = nullptr);

    QString url() const { return url_; }

    void initializeWebView(const std::optional<QString>& text) override;
    void viewWillAppear() override;

protected:
    void webViewDidStartLoad() override;
    void webViewDidFinishLoad() override;
    void webViewDidFailLoad() override;

private:
    QString url_;
};

}  // namespace pelloran::web

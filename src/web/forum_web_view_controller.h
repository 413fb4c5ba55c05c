#pragma once
// The "Forum" tab: the forum's front page, fetched as a phone would (its light pages), shown
// with the forum's address as its base. The tab never leaves the forum: a link to another host
// brings the front page back instead. No bar, no script. UI thread only.

#include "web/web_view_controller.h"

namespace pelloran::web {

class ForumWebViewController : public WebViewController {
    Q_OBJECT
public:
    ForumWebViewController(WebSession& session, const ScreenContext& context,
                           ListScreenTarget* target, QWidget* parent = nullptr);

    QString url() const { return url_; }
    // Fetches the forum's front page and shows it.
    void fetchFrontPage();

    void initializeWebView(const std::optional<QString>& text) override;
    void viewWillAppear() override;

protected:
    QUrl baseUrl() const override;
    void webViewDidStartLoad() override;
    void webViewDidFinishLoad() override;
    void webViewDidFailLoad() override;
    bool shouldStartLoad(const QUrl& url, WebPage::NavigationType type) override;

private:
    QString url_;
};

}  // namespace pelloran::web

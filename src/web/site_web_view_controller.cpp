#include "web/site_web_view_controller.h"

#include "net/operation_queue.h"
#include "site/site_config.h"
#include "ui/navigation_stack.h"
#include "web/fetch_web_page.h"

namespace pelloran::web {

SiteWebViewController::SiteWebViewController(WebSession& session, const ScreenContext& context,
                                             ListScreenTarget* target, QWidget* parent)
    : WebViewController(session, context, target, parent) {
    setTabBarItem(hostWithoutPort(context.site.config->siteHost), QStringLiteral("tabbar-web.png"));
}

void SiteWebViewController::viewWillAppear() {
    if (NavigationStack* stack = navigationStack()) {
        stack->setNavigationBarHidden(true);
    }
    showLoading(0);
    url_ = baseUrl().toString();
    operationQueue().addOperation(
        makePageFetch(url_, PageKind::Plain, context().site, this,
                      [this](const std::optional<QString>& text) { initializeWebView(text); }));
}

void SiteWebViewController::initializeWebView(const std::optional<QString>& text) {
    WebViewController::initializeWebView(text);
    reshowLoading(-22);
}

void SiteWebViewController::webViewDidStartLoad() {}

void SiteWebViewController::webViewDidFinishLoad() {
    hideLoading();
}

void SiteWebViewController::webViewDidFailLoad() {
    hideLoading();
}

}  // namespace pelloran::web

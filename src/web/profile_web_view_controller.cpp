#include "web/profile_web_view_controller.h"

#include "net/operation_queue.h"
#include "ui/navigation_stack.h"
#include "web/fetch_web_page.h"

namespace pelloran::web {

ProfileWebViewController::ProfileWebViewController(WebSession& session,
                                                   const ScreenContext& context, const QString& url,
                                                   ListScreenTarget* target, QWidget* parent)
    : WebViewController(session, context, target, parent) {
    buildBackBar();
    operationQueue().addOperation(
        makePageFetch(url, PageKind::Profile, context.site, this,
                      [this](const std::optional<QString>& text) { initializeWebView(text); }));
}

void ProfileWebViewController::viewWillAppear() {
    if (NavigationStack* stack = navigationStack()) {
        stack->setNavigationBarHidden(false);
    }
}

bool ProfileWebViewController::shouldStartLoad(const QUrl&, WebPage::NavigationType) {
    return false;  // links on a profile lead nowhere
}

}  // namespace pelloran::web

#include "web/forum_web_view_controller.h"

#include "net/operation_queue.h"
#include "site/site_config.h"
#include "ui/navigation_stack.h"
#include "web/fetch_web_page.h"
#include "web/web_rules.h"

namespace pelloran::web {

ForumWebViewController::ForumWebViewController(WebSession& session, const ScreenContext& context,
                                               ListScreenTarget* target, QWidget* parent)
    : WebViewController(session, context, target, parent) {
    setTabBarItem(QStringLiteral("Forum"), QStringLiteral("tabbar-forum.png"));
    fetchFrontPage();
}

QUrl ForumWebViewController::baseUrl() const {
    return QUrl(QStringLiteral("http://") + context().site.config->forumHost + QLatin1Char('/'));
}

void ForumWebViewController::fetchFrontPage() {
    showLoading(-44);
    url_ = baseUrl().toString();
    operationQueue().addOperation(
        makePageFetch(url_, PageKind::Forum, context().site, this,
                      [this](const std::optional<QString>& text) { initializeWebView(text); }));
}

void ForumWebViewController::initializeWebView(const std::optional<QString>& text) {
    WebViewController::initializeWebView(text);
    reshowLoading(-20);
}

void ForumWebViewController::viewWillAppear() {
    if (NavigationStack* stack = navigationStack()) {
        stack->setNavigationBarHidden(true);
    }
}

void ForumWebViewController::webViewDidStartLoad() {}

void ForumWebViewController::webViewDidFinishLoad() {
    hideLoading();
}

void ForumWebViewController::webViewDidFailLoad() {
    hideLoading();
}

bool ForumWebViewController::shouldStartLoad(const QUrl& url, WebPage::NavigationType) {
    if (url.isEmpty() || isOnHost(url, context().site.config->forumHost)) {
        return true;
    }
    // Leaving the forum: its front page comes back instead. Not from inside the engine's
    // navigation callback.
    QMetaObject::invokeMethod(
        this,
        [this] {
            webPage()->triggerAction(QWebEnginePage::Stop);
            fetchFrontPage();
        },
        Qt::QueuedConnection);
    return false;
}

}  // namespace pelloran::web

#include "web/web_screens.h"

#include "net/net_context.h"
#include "ui/list_screen_target.h"
#include "ui/screen_context.h"
#include "web/client_web_view_controller.h"
#include "web/cookie_bridge.h"
#include "web/forum_web_view_controller.h"
#include "web/profile_web_view_controller.h"
#include "web/site_web_view_controller.h"
#include "web/torrent_web_view_controller.h"
#include "web/web_session.h"

namespace pelloran::web {

WebScreens::WebScreens() {
    // Before anything else of the engine: its schemes are fixed when it starts.
    prepareWebEngine();
}

ViewController* WebScreens::createTabScreen(WebTab tab, const ScreenContext& context,
                                            ViewController* target) {
    // The browse list, once it is one; the tabs work without it.
    auto* list = dynamic_cast<ListScreenTarget*>(target);
    WebSession& s = session(context);
    switch (tab) {
        case WebTab::Forum:
            return new ForumWebViewController(s, context, list);
        case WebTab::Site:
            return new SiteWebViewController(s, context, list);
        case WebTab::RemoteUi:
            break;
    }
    return new ClientWebViewController(s, context, ClientWebViewController::Role::RemoteUiTab,
                                       target);
}

ViewController* WebScreens::createDetailsScreen(const QString& url, int tag,
                                                const ScreenContext& context,
                                                ListScreenTarget* target) {
    return new TorrentWebViewController(session(context), context, url, tag, target);
}

ViewController* WebScreens::createProfileScreen(const QString& url, const ScreenContext& context,
                                                ListScreenTarget* target) {
    return new ProfileWebViewController(session(context), context, url, target);
}

ViewController* WebScreens::createRemoteTestScreen(const ScreenContext& context,
                                                   ViewController* settingsScreen) {
    return new ClientWebViewController(
        session(context), context, ClientWebViewController::Role::ConnectionTest, settingsScreen);
}

void WebScreens::cookiesChanged() {
    for (const QPointer<WebSession>& s : std::as_const(sessions_)) {
        if (s) {
            s->cookieBridge().pushCoreCookies();
        }
    }
}

WebSession& WebScreens::session(const ScreenContext& context) {
    sessions_.removeAll(nullptr);
    for (const QPointer<WebSession>& s : std::as_const(sessions_)) {
        if (s->parent() == context.window) {
            return *s;
        }
    }
    // A child of the window: it goes after the window's screens and before the app's services.
    auto* made = new WebSession(*context.site.net.cookies, context.window);
    sessions_.append(made);
    return *made;
}

}  // namespace pelloran::web

#include "app/main_tabs.h"

#include "app/logout_view_controller.h"
#include "lists/history_list_view_controller.h"
#include "site/site_config.h"
#include "ui/placeholder_screen.h"
#include "ui/tab_bar_controller.h"
#include "ui/web_tab_screen.h"

namespace pelloran {

void addMainTabs(TabBarController& tabBar, const ScreenContext& context,
                 std::function<void()> logout) {
    const auto placeholder = [](const char* title, const char* tabTitle, const char* image) {
        return new PlaceholderScreen(QString::fromUtf8(title), QString::fromUtf8(tabTitle),
                                     QString::fromUtf8(image));
    };
    ViewController* browse = placeholder("All Torrents", "All Torrents", "tabbar-all.png");
    tabBar.addTab(browse, true);
    tabBar.addTab(placeholder("Favorite Torrents", "Favorites", "tabbar-favorites.png"), true);
    tabBar.addTab(placeholder("Search", "Search", "tabbar-search.png"), true);
    tabBar.addTab(placeholder("Snatch List", "My SnatchList", "tabbar-history.png"), true);
    tabBar.addTab(new WebTabScreen(WebTab::Forum, QStringLiteral("Forum"),
                                   QStringLiteral("tabbar-forum.png"), context, browse),
                  true);
    tabBar.addTab(new HistoryListViewController(context), false);
    tabBar.addTab(new WebTabScreen(WebTab::RemoteUi, QStringLiteral("Remote UI"),
                                   QStringLiteral("tabbar-remote.png"), context, browse),
                  true);
    tabBar.addTab(placeholder("Remote Settings", "Remote Settings", "tabbar-settings.png"), true);
    tabBar.addTab(new WebTabScreen(WebTab::Site, hostWithoutPort(context.site.config->siteHost),
                                   QStringLiteral("tabbar-web.png"), context, browse),
                  true);
    tabBar.addTab(new LogoutViewController(&tabBar, std::move(logout)), true);
}

}  // namespace pelloran

#include "app/main_tabs.h"

#include "app/logout_view_controller.h"
#include "lists/all_list_view_controller.h"
#include "lists/favorite_list_view_controller.h"
#include "lists/history_list_view_controller.h"
#include "lists/search_list_view_controller.h"
#include "lists/snatch_list_view_controller.h"
#include "settings/server_settings_view_controller.h"
#include "site/site_config.h"
#include "stats/stats_view_controller.h"
#include "ui/tab_bar_controller.h"
#include "ui/web_tab_screen.h"

namespace pelloran {

void addMainTabs(TabBarController& tabBar, const ScreenContext& context,
                 std::function<void()> logout) {
    auto* browse = new AllListViewController(context);
    tabBar.addTab(browse, true);
    tabBar.addTab(new FavoriteListViewController(context), true);
    tabBar.addTab(new SearchListViewController(context), true);
    tabBar.addTab(new SnatchListViewController(context), true);
    tabBar.addTab(new WebTabScreen(WebTab::Forum, QStringLiteral("Forum"),
                                   QStringLiteral("tabbar-forum.png"), context, browse),
                  true);
    tabBar.addTab(new HistoryListViewController(context), false);
    tabBar.addTab(new WebTabScreen(WebTab::RemoteUi, QStringLiteral("Remote UI"),
                                   QStringLiteral("tabbar-remote.png"), context, browse),
                  true);
    tabBar.addTab(new ServerSettingsViewController(context), true);
    tabBar.addTab(new WebTabScreen(WebTab::Site, hostWithoutPort(context.site.config->siteHost),
                                   QStringLiteral("tabbar-web.png"), context, browse),
                  true);
    tabBar.addTab(new LogoutViewController(&tabBar, std::move(logout)), true);
    tabBar.addTab(new StatsViewController(context), true);
}

}  // namespace pelloran

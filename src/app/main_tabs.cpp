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

namespace {

template <typename Screen>
TabBarController::ScreenMaker made(const ScreenContext& context) {
    return [context] { return new Screen(context); };
}

}  // namespace

void addMainTabs(TabBarController& tabBar, const ScreenContext& context,
                 std::function<void()> logout) {
    TabBarController* bar = &tabBar;
    // The web tabs send a chosen torrent through the browse list.
    const auto webTab = [bar, context](WebTab tab, const QString& title, const QString& image) {
        return [bar, context, tab, title, image] {
            return new WebTabScreen(tab, title, image, context, bar->screen(0));
        };
    };
    tabBar.addTab(QStringLiteral("All Torrents"), QStringLiteral("tabbar-all.png"), true,
                  made<AllListViewController>(context));
    tabBar.addTab(QStringLiteral("Favorites"), QStringLiteral("tabbar-favorites.png"), true,
                  made<FavoriteListViewController>(context));
    tabBar.addTab(QStringLiteral("Search"), QStringLiteral("tabbar-search.png"), true,
                  made<SearchListViewController>(context));
    tabBar.addTab(QStringLiteral("My SnatchList"), QStringLiteral("tabbar-history.png"), true,
                  made<SnatchListViewController>(context));
    const QString forum = QStringLiteral("Forum"), forumImage = QStringLiteral("tabbar-forum.png");
    tabBar.addTab(forum, forumImage, true, webTab(WebTab::Forum, forum, forumImage));
    tabBar.addTab(QStringLiteral("D/l History"), QStringLiteral("tabbar-snatch.png"), false,
                  made<HistoryListViewController>(context));
    const QString remote = QStringLiteral("Remote UI");
    const QString remoteImage = QStringLiteral("tabbar-remote.png");
    tabBar.addTab(remote, remoteImage, true, webTab(WebTab::RemoteUi, remote, remoteImage));
    tabBar.addTab(QStringLiteral("Remote Settings"), QStringLiteral("tabbar-settings.png"), true,
                  made<ServerSettingsViewController>(context));
    const QString site = hostWithoutPort(context.site.config->siteHost);
    const QString siteImage = QStringLiteral("tabbar-web.png");
    tabBar.addTab(site, siteImage, true, webTab(WebTab::Site, site, siteImage));
    tabBar.addTab(
        QStringLiteral("Logout"), QStringLiteral("tabbar-logout.png"), true,
        [bar, logout = std::move(logout)] { return new LogoutViewController(bar, logout); });
    tabBar.addTab(QStringLiteral("Stats"), QStringLiteral("tabbar-stats.png"), true,
                  made<StatsViewController>(context));
}

}  // namespace pelloran

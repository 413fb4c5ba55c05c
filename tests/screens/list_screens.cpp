// Pictures of the list screens: browse (rows with sent marks, the load-more row, the sending
// overlay), favorites with their filters, the filter edit screen (and a swipe on it) and the
// compose screen, search, the snatch list, the three display settings screens, the Remote
// Settings tab (and qBittorrent's push defaults on it), the "Send to…" sheet, a filter with its
// route, and a list that could not reach the site.

#include "screens.h"

#include "lists/all_list_view_controller.h"
#include "lists/edit_favorite_list_view_controller.h"
#include "lists/favorite_compose_view_controller.h"
#include "lists/favorite_list_view_controller.h"
#include "lists/search_list_view_controller.h"
#include "lists/send_to_sheet.h"
#include "lists/snatch_list_view_controller.h"
#include "lists/torrent_list_model.h"
#include "remote/filter_routes.h"
#include "remote/server_info.h"
#include "settings/server_settings_view_controller.h"
#include "store/settings_keys.h"
#include "support/test_server.h"
#include "ui/header_view.h"
#include "ui/loading_indicator.h"
#include "ui/more_list_view_controller.h"
#include "ui/navigation_stack.h"
#include "ui/push_options_form.h"
#include "ui/row_deletion.h"
#include "ui/search_bar.h"
#include "ui/segmented_control.h"
#include "ui/tab_bar.h"
#include "ui/torrent_item_delegate.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <chrono>
#include <memory>
#include <thread>

namespace pelloran::screens {

namespace {

using test::AppDriver;

template <typename Screen>
Screen* screenAt(AppDriver& app, int tab) {
    return dynamic_cast<Screen*>(app.tabBar()->screen(tab));
}

bool waitIdle(AllListViewController* list) {
    return AppDriver::waitUntil(
        [list] {
            return !list->isBusy() && list->queuedOperations() == 0 &&
                   !LoadingIndicator::sharedInstance().isShown();
        },
        20000);
}

// A list screen's check: a list that shows no rows lacks them.
template <typename Screen>
std::function<QString(AppDriver&)> showsRows(int tab) {
    return [tab](AppDriver& app) {
        Screen* list = screenAt<Screen>(app, tab);
        return list && list->model()->recordCount() > 0 ? QString() : QStringLiteral("no rows");
    };
}

void popToRoot(AppDriver& app, int tab) {
    if (NavigationStack* stack = app.tabBar()->navigationStack(tab)) {
        stack->popToRootViewController(false);
    }
}

// A Transmission stand-in that takes each request slowly, so the sending overlay is seen.
std::shared_ptr<test::TestServer> slowClient() {
    static std::shared_ptr<test::TestServer> server;
    if (!server) {
        server = std::make_shared<test::TestServer>();
        const auto slow = [](const httplib::Request&, httplib::Response& res) {
            std::this_thread::sleep_for(std::chrono::milliseconds(900));
            res.set_header("X-Transmission-Session-Id", "screens");
            res.set_content("{}", "application/json");
        };
        server->server().Get("/transmission/rpc", slow);
        server->server().Post("/transmission/rpc", slow);
        server->server().Post("/transmission/upload", slow);
        server->start();
    }
    return server;
}

}  // namespace

std::vector<Shot> listShots() {
    return {
        {QStringLiteral("browse.png"),
         [](AppDriver& app, demo::DemoSite& site) {
             // Two rows of page 1 were sent before: they carry the sent mark.
             const auto rows = demo::DemoSite::clientRows(
                 site.listing(QStringLiteral("/torrents/browse/index/page/1")));
             if (rows.size() > 4) {
                 app.services().history().append(rows[1].name);
                 app.services().history().append(rows[4].name);
             }
             popToRoot(app, 0);
             clickSlot(app, 0);
             auto* browse = screenAt<AllListViewController>(app, 0);
             browse->didRefresh();
             waitIdle(browse);
             settle();
             return app.grab();
         },
         showsRows<AllListViewController>(0)},
        {QStringLiteral("browse-load-more.png"),
         [](AppDriver& app, demo::DemoSite&) {
             auto* browse = screenAt<AllListViewController>(app, 0);
             browse->tableView()->scrollToBottom();
             settle();
             return app.grab();
         }},
        {QStringLiteral("browse-sending.png"),
         [](AppDriver& app, demo::DemoSite&) {
             auto server = slowClient();
             ServerInfo& info = app.services().server();
             info.setClient(QStringLiteral("Transmission"));
             info.setAddress(QStringLiteral("127.0.0.1"));
             info.setPort(QString::number(server->port()));
             auto* browse = screenAt<AllListViewController>(app, 0);
             browse->tableView()->scrollToTop();
             settleFor(100);
             for (int row : {2, 3, 5}) {
                 browse->didTapDownloadButton(row);
             }
             settleFor(200);
             QImage shot = app.grab();
             waitIdle(browse);
             return shot;
         }},
        {QStringLiteral("browse-settings.png"),
         [](AppDriver& app, demo::DemoSite&) {
             auto* browse = screenAt<AllListViewController>(app, 0);
             QTest::mouseClick(browse->headerView()->settingsButton(), Qt::LeftButton);
             settle();
             return app.grab();
         }},
        {QStringLiteral("favorites.png"),
         [](AppDriver& app, demo::DemoSite&) {
             popToRoot(app, 0);
             app.settings().setValue(
                 keys::filters, QStringList{QStringLiteral("720p|1080p"), QStringLiteral("x264"),
                                            QStringLiteral("XviD")});
             app.settings().flush();
             clickSlot(app, 1);
             auto* favorites = screenAt<FavoriteListViewController>(app, 1);
             waitIdle(favorites);
             favorites->didRefresh();  // the new filters apply to the pages fetched now
             waitIdle(favorites);
             settle();
             return app.grab();
         },
         showsRows<FavoriteListViewController>(1)},
        {QStringLiteral("favorites-settings.png"),
         [](AppDriver& app, demo::DemoSite&) {
             auto* favorites = screenAt<FavoriteListViewController>(app, 1);
             QTest::mouseClick(favorites->headerView()->settingsButton(), Qt::LeftButton);
             settle();
             return app.grab();
         }},
        {QStringLiteral("favorite-filters.png"),
         [](AppDriver& app, demo::DemoSite&) {
             popToRoot(app, 1);
             // One keyword with a route of its own, which its row shows.
             setFilterRoute(app.settings(), QStringLiteral("x264"),
                            PushOptions{QStringLiteral("Films"), {}, {}, true});
             auto* favorites = screenAt<FavoriteListViewController>(app, 1);
             QTest::mouseClick(favorites->headerView()->filtersButton(), Qt::LeftButton);
             settle();
             return app.grab();
         }},
        {QStringLiteral("favorite-filter-swipe.png"),
         [](AppDriver& app, demo::DemoSite&) {
             // A swipe to the left over the second keyword shows its Delete button.
             auto* edit = dynamic_cast<EditFavoriteListViewController*>(
                 app.tabBar()->navigationStack(1)->topViewController());
             if (edit) {
                 QWidget* vp = edit->tableView()->viewport();
                 const QRect row =
                     edit->tableView()->visualRect(edit->tableView()->model()->index(1, 0));
                 const QPoint from(row.right() - 20, row.center().y());
                 QTest::mousePress(vp, Qt::LeftButton, {}, from);
                 for (int step = 1; step <= 4; ++step) {
                     const QPoint at = from - QPoint(30 * step, 0);
                     QMouseEvent move(QEvent::MouseMove, at, vp->mapToGlobal(at), Qt::NoButton,
                                      Qt::LeftButton, Qt::NoModifier);
                     QApplication::sendEvent(vp, &move);
                 }
                 QTest::mouseRelease(vp, Qt::LeftButton, {}, from - QPoint(120, 0));
             }
             settle();
             QImage shot = app.grab();
             if (edit) {
                 if (auto* deletion = edit->tableView()->findChild<RowDeletion*>()) {
                     deletion->hideButton();
                 }
             }
             return shot;
         }},
        {QStringLiteral("favorite-compose.png"),
         [](AppDriver& app, demo::DemoSite&) {
             auto* edit = dynamic_cast<EditFavoriteListViewController*>(
                 app.tabBar()->navigationStack(1)->topViewController());
             if (edit) {
                 edit->addFavorite();
             }
             settle();
             QImage shot = app.grab();
             if (edit) {
                 edit->didCancelUpdateList();
             }
             settle();
             return shot;
         }},
        {QStringLiteral("favorite-compose-route.png"),
         [](AppDriver& app, demo::DemoSite&) {
             // A keyword with its route opened, for a qBittorrent member.
             ServerInfo& info = app.services().server();
             const std::optional<QString> client = info.reloaded().client;
             info.setClient(QStringLiteral("qBittorrent"));
             auto* edit = dynamic_cast<EditFavoriteListViewController*>(
                 app.tabBar()->navigationStack(1)->topViewController());
             if (edit) {
                 edit->addFavorite();
             }
             auto* compose = app.tabBar()->window()->findChild<FavoriteComposeViewController*>();
             if (compose) {
                 compose->newItem()->setText(QStringLiteral("1080p"));
                 compose->setRouteOpen(true);
                 compose->routeForm()->categoryField()->setText(QStringLiteral("Films"));
                 compose->routeForm()->tagsField()->setText(QStringLiteral("hd, x264"));
                 compose->routeForm()->savePathField()->setText(QStringLiteral("/srv/films"));
                 compose->newItem()->clearFocus();
             }
             settle();
             QImage shot = app.grab();
             if (edit) {
                 edit->didCancelUpdateList();
             }
             info.setClient(client.value_or(QString()));
             popToRoot(app, 1);
             settle();
             return shot;
         }},
        {QStringLiteral("search.png"),
         [](AppDriver& app, demo::DemoSite&) {
             clickSlot(app, 2);
             auto* search = screenAt<SearchListViewController>(app, 2);
             search->searchBar()->field()->setText(QStringLiteral("the"));
             search->searchBarSearchButtonClicked();
             waitIdle(search);
             settle();
             return app.grab();
         },
         showsRows<SearchListViewController>(2)},
        {QStringLiteral("search-settings.png"),
         [](AppDriver& app, demo::DemoSite&) {
             auto* search = screenAt<SearchListViewController>(app, 2);
             QTest::mouseClick(search->headerView()->searchButton(), Qt::LeftButton);
             settle();
             QImage shot = app.grab();
             popToRoot(app, 2);
             return shot;
         }},
        {QStringLiteral("snatch-list.png"),
         [](AppDriver& app, demo::DemoSite&) {
             clickSlot(app, 3);
             auto* snatch = screenAt<SnatchListViewController>(app, 3);
             waitIdle(snatch);
             settle();
             return app.grab();
         },
         showsRows<SnatchListViewController>(3)},
        // Its counts stay at the right edge of a wide window.
        {QStringLiteral("wide-snatch.png"),
         [](AppDriver& app, demo::DemoSite&) { return wideShot(app); },
         showsRows<SnatchListViewController>(3)},
        {QStringLiteral("remote-settings.png"),
         [](AppDriver& app, demo::DemoSite&) {
             clickSlot(app, TabBarController::kVisibleTabs);
             settle();
             QListWidget* list = app.tabBar()->moreList()->list();
             const QRect r = list->visualItemRect(list->item(3));
             QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
             settle();
             return app.grab();
         }},
        {QStringLiteral("remote-settings-qbittorrent.png"),
         [](AppDriver& app, demo::DemoSite&) {
             // qBittorrent chosen, with its push defaults under the Test button.
             app.services().server().setPushDefaults(
                 QStringLiteral("qBittorrent"),
                 PushOptions{QStringLiteral("Films"),
                             QStringList{QStringLiteral("hd"), QStringLiteral("x264")},
                             QStringLiteral("/srv/films"), true});
             auto* screen = app.tabBar()->window()->findChild<ServerSettingsViewController*>();
             if (screen) {
                 screen->clientChooser()->setSelectedIndex(3);
                 screen->didSelectClient(3);
                 settle();
                 if (auto* area = screen->findChild<QScrollArea*>()) {
                     area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
                 }
             }
             settle();
             return app.grab();
         }},
        {QStringLiteral("wide-remote-settings.png"),
         [](AppDriver& app, demo::DemoSite&) { return wideShot(app); }},
        {QStringLiteral("browse-send-to.png"),
         [](AppDriver& app, demo::DemoSite&) {
             // "Send to…" on a row, the chosen client's defaults filled in.
             clickSlot(app, 0);
             settle();
             auto* browse = screenAt<AllListViewController>(app, 0);
             browse->showSendToSheet(2);
             settle();
             QImage shot = app.grab();
             if (auto* sheet = app.tabBar()->window()->findChild<SendToSheet*>()) {
                 sheet->cancel();
             }
             settle();
             return shot;
         }},
        {QStringLiteral("list-unreachable.png"),
         [](AppDriver& app, demo::DemoSite& site) {
             clickSlot(app, 0);
             settle();
             site.stop();
             auto* browse = screenAt<AllListViewController>(app, 0);
             browse->didRefresh();
             waitIdle(browse);
             settle();
             return app.grab();
         }},
        {QStringLiteral("snatch-unreachable.png"),
         [](AppDriver& app, demo::DemoSite&) {
             clickSlot(app, 3);  // the site is stopped by now
             auto* snatch = screenAt<SnatchListViewController>(app, 3);
             snatch->didRefresh();
             waitIdle(snatch);
             settle();
             return app.grab();
         }},
    };
}

}  // namespace pelloran::screens

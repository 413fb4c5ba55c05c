// Pictures of the web screens, drawn by the real plugin: the forum and site tabs, a details
// page with its toolbar, a profile, the client's interface in the "Remote UI" tab (a fake Vuze
// and the real transmission-daemon and qBittorrent), and the connection test with its two alerts.

#include "screens.h"

#include "../support/qbittorrent_daemon.h"
#include "../support/transmission_daemon.h"
#include "app/pelloran_window.h"
#include "fake_clients.h"
#include "net/operation_queue.h"
#include "remote/fetch_page_download.h"
#include "ui/loading_indicator.h"
#include "ui/navigation_stack.h"
#include "ui/web_screen_factory.h"
#include "ui/web_screen_loader.h"
#include "ui/web_tab_screen.h"

#include <QTest>
#include <cstdio>
#include <memory>

namespace pelloran::screens {

namespace {

using test::AppDriver;

constexpr int kForumTab = 4;
constexpr int kRemoteUiTab = 6;
constexpr int kRemoteSettingsTab = 7;
constexpr int kSiteTab = 8;

// The clients the Remote UI pictures show, alive for the whole run of shots.
struct Clients {
    fake::FakeVuze vuze;
    test::TransmissionDaemon transmission;
    bool transmissionUp = false;
    test::QBittorrentDaemon qbittorrent;
};

// Waits until the web screen has ended `loads` loads and no overlay shows; false when that
// didn't come.
bool waitForPage(ViewController* screen, int loads = 1) {
    const bool loaded = AppDriver::waitUntil(
        [&] {
            return screen && screen->property("loadsEnded").toInt() >= loads &&
                   !screen->property("loading").toBool() &&
                   !LoadingIndicator::sharedInstance().isShown();
        },
        30000);
    settleFor(600);
    return loaded;
}

ScreenContext contextOf(AppDriver& app) {
    auto* tab = dynamic_cast<WebTabScreen*>(app.tabBar()->screen(kForumTab));
    return tab ? tab->screenContext() : ScreenContext();
}

WebScreenFactory* factoryOf(AppDriver& app) {
    return app.delegate().webLoader().factory();
}

// Opens a web tab and waits for its page.
QImage tabShot(AppDriver& app, int index, int loads = 1) {
    app.tabBar()->setSelectedIndex(index);
    auto* tab = dynamic_cast<WebTabScreen*>(app.tabBar()->screen(index));
    // The run's first web screen is made once the plugin has loaded, after a frame.
    AppDriver::waitUntil([tab] { return tab && tab->webScreen(); }, 30000);
    if (!waitForPage(tab ? tab->webScreen() : nullptr, loads)) {
        return QImage();  // a page that never came is no picture of the screen
    }
    return app.grab();
}

void useClient(AppDriver& app, const QString& name, int port, const QString& user,
               const QString& password) {
    ServerInfo& server = app.services().server();
    server.setClient(name);
    server.setAddress(QStringLiteral("127.0.0.1"));
    server.setPort(QString::number(port));
    server.setUsername(user);
    server.setPassword(password);
}

// Pushes the connection test onto the Remote Settings tab and draws its alert over it.
QImage testShot(AppDriver& app) {
    app.tabBar()->setSelectedIndex(kRemoteSettingsTab);
    NavigationStack* stack = app.tabBar()->navigationStack(kRemoteSettingsTab);
    ViewController* test =
        factoryOf(app)->createRemoteTestScreen(contextOf(app), stack->rootViewController());
    stack->pushViewController(test, false);
    AppDriver::waitUntil([&] { return app.root().alert() != nullptr; }, 30000);
    const bool loaded = waitForPage(test);
    QMessageBox* alert = app.root().alert();
    QImage shot = loaded ? app.grab(alert) : QImage();
    if (alert) {
        alert->close();
    }
    stack->popViewController(false);
    settleFor(400);
    return shot;
}

// Sends the first `count` torrents of the demo site to the client the settings name, as the
// lists' download buttons do.
void pushTorrents(AppDriver& app, demo::DemoSite& site, int count) {
    OperationQueue queue(1);
    QObject context;
    int done = 0;
    for (int i = 0; i < count; ++i) {
        const demo::DemoTorrent& t = site.torrents()[size_t(i)];
        queue.addOperation(std::make_unique<FetchPageDownload>(
            site.siteUrl(QStringLiteral("/download/%1/file.torrent").arg(t.id)), t.name,
            contextOf(app).remote, &context, [&done](const std::optional<QString>&) { ++done; }));
    }
    AppDriver::waitUntil([&] { return done == count; }, 60000);
}

const demo::DemoTorrent* torrentWithImdb(demo::DemoSite& site) {
    for (const demo::DemoTorrent& t : site.torrents()) {
        if (!t.imdbId.isEmpty() && t.comments > 0) {
            return &t;
        }
    }
    return &site.torrents().front();
}

}  // namespace

std::vector<Shot> webShots() {
    auto clients = std::make_shared<Clients>();
    return {
        {QStringLiteral("web-forum.png"),
         [](AppDriver& app, demo::DemoSite&) { return tabShot(app, kForumTab); }},
        {QStringLiteral("web-site.png"),
         [](AppDriver& app, demo::DemoSite&) { return tabShot(app, kSiteTab); }},
        {QStringLiteral("web-details.png"),
         [](AppDriver& app, demo::DemoSite& site) {
             app.tabBar()->setSelectedIndex(0);
             const demo::DemoTorrent* t = torrentWithImdb(site);
             ViewController* details = factoryOf(app)->createDetailsScreen(
                 site.siteUrl(t->detailsHref), 0, contextOf(app), nullptr);
             NavigationStack* stack = app.tabBar()->navigationStack(0);
             stack->pushViewController(details, false);
             stack->setNavigationBarHidden(false);  // as the list does when it opens a row
             return waitForPage(details) ? app.grab() : QImage();
         }},
        // A member who widens the window: the page, then the list, use the width.
        {QStringLiteral("wide-details.png"),
         [](AppDriver& app, demo::DemoSite&) {
             app.window().resize(app.window().scale().px(kWideWindowPoints), app.window().height());
             settle();
             settleFor(500);  // the page lays itself out again at the new width
             return app.grab();
         }},
        {QStringLiteral("wide-browse.png"),
         [](AppDriver& app, demo::DemoSite&) {
             app.tabBar()->navigationStack(0)->popToRootViewController(false);
             return wideShot(app);
         }},
        {QStringLiteral("web-profile.png"),
         [](AppDriver& app, demo::DemoSite& site) {
             NavigationStack* stack = app.tabBar()->navigationStack(0);
             stack->popToRootViewController(false);
             ViewController* profile = factoryOf(app)->createProfileScreen(
                 site.siteUrl(QStringLiteral("/profile/ReleaseBot")), contextOf(app), nullptr);
             stack->pushViewController(profile, false);
             stack->setNavigationBarHidden(false);
             QImage shot = waitForPage(profile) ? app.grab() : QImage();
             stack->popToRootViewController(false);
             return shot;
         }},
        {QStringLiteral("web-remote-ui-vuze.png"),
         [clients](AppDriver& app, demo::DemoSite&) {
             if (!clients->vuze.start()) {
                 return QImage();
             }
             clients->vuze.setCredentials(QStringLiteral("member"), QStringLiteral("secret"));
             useClient(app, QStringLiteral("Vuze"), clients->vuze.port(), QStringLiteral("member"),
                       QStringLiteral("secret"));
             return tabShot(app, kRemoteUiTab);
         }},
        {QStringLiteral("web-remote-ui-transmission.png"),
         [clients](AppDriver& app, demo::DemoSite& site) {
             QString error;
             clients->transmissionUp = clients->transmission.start(&error);
             if (!clients->transmissionUp) {
                 std::fprintf(stderr, "pelloran-screens: transmission-daemon: %s\n",
                              qPrintable(error));
                 return QImage();
             }
             useClient(app, QStringLiteral("Transmission"), clients->transmission.port(),
                       clients->transmission.username(), clients->transmission.password());
             pushTorrents(app, site, 3);
             // Shown again: the tab fetches again, and the interface fills in from its RPC.
             app.tabBar()->setSelectedIndex(kForumTab);
             tabShot(app, kRemoteUiTab, 2);
             settleFor(1500);
             return app.grab();
         }},
        {QStringLiteral("web-remote-ui-qbittorrent.png"),
         [clients](AppDriver& app, demo::DemoSite&) {
             QString error;
             if (!clients->qbittorrent.start(&error)) {
                 std::fprintf(stderr, "pelloran-screens: qbittorrent-nox: %s\n", qPrintable(error));
                 return QImage();
             }
             useClient(app, QStringLiteral("qBittorrent"), clients->qbittorrent.port(),
                       clients->qbittorrent.username(), clients->qbittorrent.password());
             // Shown again, the tab fetches again: one load more than it has ended so far.
             app.tabBar()->setSelectedIndex(kForumTab);
             auto* tab = dynamic_cast<WebTabScreen*>(app.tabBar()->screen(kRemoteUiTab));
             const int loads =
                 tab && tab->webScreen() ? tab->webScreen()->property("loadsEnded").toInt() : 0;
             const QImage shot = tabShot(app, kRemoteUiTab, loads + 1);
             clients->qbittorrent.stop();
             return shot;
         }},
        {QStringLiteral("web-remote-test-success.png"),
         [clients](AppDriver& app, demo::DemoSite&) {
             useClient(app, QStringLiteral("Vuze"), clients->vuze.port(), QStringLiteral("member"),
                       QStringLiteral("secret"));
             return testShot(app);
         }},
        {QStringLiteral("web-remote-test-failed.png"),
         [clients](AppDriver& app, demo::DemoSite&) {
             // The address of a client that has gone away.
             const int port = clients->vuze.port();
             clients->vuze.stop();
             useClient(app, QStringLiteral("Vuze"), port, QStringLiteral("member"),
                       QStringLiteral("secret"));
             return testShot(app);
         }},
    };
}

}  // namespace pelloran::screens

// The browse list against the demo site: the first appearance fetches page 1 and later ones
// don't, the load-more row, quick pushes under the sending overlay, a push into the real
// transmission-daemon, "Send paused" and "Send to…", details and profile pages, and the
// desktop's keys.

#include "lists_fixture.h"
#include "support/need_installed.h"

#include "support/loopback_port.h"
#include "support/transmission_daemon.h"
#include "ui/alert_box.h"
#include "ui/flat_cell_delegate.h"
#include "ui/header_view.h"
#include "ui/more_list_view_controller.h"
#include "ui/pending_web_screen.h"
#include "ui/sending_text.h"
#include "ui/web_screen_loader.h"

#include "lists/send_to_sheet.h"
#include "remote/fetch_page_download.h"
#include "ui/push_options_form.h"

#include <fake_clients.h>

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>

namespace pelloran::test {
namespace {

const QString kPage1 = QStringLiteral("/torrents/browse/index/page/1");
const QString kPage2 = QStringLiteral("/torrents/browse/index/page/2");

using BrowseListTest = ListsTest;

TEST_F(BrowseListTest, FirstAppearanceFetchesPageOneLaterOnesDontAndLoadMoreAppends) {
    ASSERT_NO_FATAL_FAILURE(launch());
    auto* browse = screen<AllListViewController>(0);
    ASSERT_NE(browse, nullptr);
    EXPECT_EQ(requestsFor(kPage1), 1);
    const QStringList page1 = names(site.listing(kPage1));
    EXPECT_EQ(names(browse), page1);
    ASSERT_TRUE(browse->model()->hasLoadMoreRow());
    EXPECT_FALSE(browse->model()->footerText().isEmpty());  // the last torrent's date
    EXPECT_TRUE(app->tabBar()->navigationStack(0)->isNavigationBarHidden());

    open(2);
    open(0);
    EXPECT_EQ(requestsFor(kPage1), 1);

    browse->didSelectRow(browse->model()->rowCount() - 1);  // the load-more row
    ASSERT_TRUE(waitIdle(browse));
    EXPECT_EQ(requestsFor(kPage2), 1);
    EXPECT_EQ(browse->currentPage(), 2);
    EXPECT_EQ(names(browse), page1 + names(site.listing(kPage2)));
}

TEST_F(BrowseListTest, QuickPushesCountUnderTheSendingOverlayAndMarkTheirRows) {
    HeldTransmission client;
    ASSERT_TRUE(client.start());
    ASSERT_NO_FATAL_FAILURE(launch());
    client.chooseIn(app->services().server());
    auto* browse = screen<AllListViewController>(0);
    QListView* table = browse->tableView();
    const auto* delegate = qobject_cast<FlatCellDelegate*>(table->itemDelegate());
    ASSERT_NE(delegate, nullptr);
    SendingTorrentIndicator& sending = SendingTorrentIndicator::sharedInstance();
    const QStringList page1 = names(browse);

    // Three taps on the rows' download buttons, one after another without waiting.
    QStringList texts;
    for (int row : {0, 1, 2}) {
        const QRect button =
            delegate->accessoryRect(table->visualRect(browse->model()->index(row)));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, button.center());
        texts.append(sending.shownText());
    }
    EXPECT_EQ(texts, (QStringList{"Sending  torrent to server", "Sending 2 torrents to server",
                                  "Sending 3 torrents to server"}));
    EXPECT_EQ(browse->sendingTorrentCount(), 3);
    EXPECT_FALSE(app->tabBar()->itemsEnabled());
    EXPECT_TRUE(table->selectionModel()->selectedIndexes().isEmpty());  // a button, not a row

    // As they finish: 2, then no number, then the overlay goes.
    const QStringList afterFinish = {"Sending 2 torrents to server", "Sending  torrent to server"};
    for (int done = 1; done <= 3; ++done) {
        client.release();
        ASSERT_TRUE(
            AppDriver::waitUntil([&] { return browse->sendingTorrentCount() == 3 - done; }));
        EXPECT_TRUE(browse->model()->torrentAt(done - 1)->isDownloaded());
        if (done < 3) {
            EXPECT_EQ(sending.shownText(), afterFinish[done - 1]);
            EXPECT_FALSE(app->tabBar()->itemsEnabled());
        }
    }
    EXPECT_FALSE(sending.isShown());
    EXPECT_TRUE(app->tabBar()->itemsEnabled());
    EXPECT_EQ(client.uploads(), 3u);
    EXPECT_EQ(app->services().history().entries(), page1.mid(0, 3));
    EXPECT_FALSE(browse->model()->torrentAt(3)->isDownloaded());
}

TEST_F(BrowseListTest, ARowsDownloadButtonPutsTheTorrentIntoTheRealTransmissionDaemon) {
    PELLORAN_NEED_INSTALLED(!TransmissionDaemon::binaryPath().isEmpty(), "transmission-daemon");
    TransmissionDaemon daemon;
    QString error;
    ASSERT_TRUE(daemon.start(&error)) << error.toStdString();
    ASSERT_NO_FATAL_FAILURE(launch());
    ServerInfo& server = app->services().server();
    server.setClient(QStringLiteral("Transmission"));
    server.setAddress(daemon.address());
    server.setPort(QString::number(daemon.port()));
    server.setUsername(daemon.username());
    server.setPassword(daemon.password());

    auto* browse = screen<AllListViewController>(0);
    const std::vector<demo::DemoTorrent> rows = demo::DemoSite::clientRows(site.listing(kPage1));
    ASSERT_GT(rows.size(), 2u);
    browse->didTapDownloadButton(2);
    EXPECT_TRUE(SendingTorrentIndicator::sharedInstance().isShown());
    ASSERT_TRUE(AppDriver::waitUntil([&] { return browse->sendingTorrentCount() == 0; }, 30000));
    EXPECT_TRUE(browse->model()->torrentAt(2)->isDownloaded());
    EXPECT_EQ(app->services().history().entries(), QStringList{rows[2].name});
    EXPECT_EQ(app->root().alert(), nullptr) << alertTitle(app->root().alert()).toStdString();
    const auto held = daemon.torrents();
    ASSERT_TRUE(held.has_value());
    ASSERT_EQ(held->size(), 1u);
    EXPECT_EQ(held->front().name, rows[2].fileName);
}

// "Send paused" and "Send to…" (from a row's menu, or a long press on its download button) push
// with their own options over the client's defaults; the long press itself sends nothing.
TEST_F(BrowseListTest, SendPausedAndSendToGoWithTheirOptionsOverTheDefaults) {
    fake::FakeQBittorrent client;
    client.setApi(fake::QBittorrentApi::V4);
    ASSERT_TRUE(client.start());
    ASSERT_NO_FATAL_FAILURE(launch());
    ServerInfo& server = app->services().server();
    server.setClient(QStringLiteral("qBittorrent"));
    server.setAddress(QStringLiteral("127.0.0.1"));
    server.setPort(QString::number(client.port()));
    server.setUsername(QStringLiteral("admin"));
    server.setPassword(QStringLiteral("adminadmin"));
    server.setPushDefaults(QStringLiteral("qBittorrent"),
                           PushOptions{QStringLiteral("Films"), {}, {}, {}});
    auto* browse = screen<AllListViewController>(0);
    const auto lastUpload = [&client] {
        std::optional<fake::ReceivedRequest> found;
        for (const fake::ReceivedRequest& r : client.requests()) {
            if (r.path == "/api/v2/torrents/add") {
                found = r;
            }
        }
        return found;
    };
    const auto part = [](const std::optional<fake::ReceivedRequest>& r, const char* name) {
        const fake::ReceivedPart* p = r ? r->part(name) : nullptr;
        return p ? std::optional<QByteArray>(p->content) : std::nullopt;
    };

    PushOptions paused;
    paused.paused = true;
    browse->sendRow(1, paused);
    ASSERT_TRUE(AppDriver::waitUntil([&] { return browse->sendingTorrentCount() == 0; }));
    EXPECT_EQ(part(lastUpload(), "paused"), std::optional<QByteArray>("true"));
    EXPECT_EQ(part(lastUpload(), "category"), std::optional<QByteArray>("Films"));

    browse->showSendToSheet(2);
    auto* sheet = app->tabBar()->window()->findChild<SendToSheet*>();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->form()->categoryField()->text(), QStringLiteral("Films"));
    sheet->form()->categoryField()->setText(QStringLiteral("Music"));
    sheet->form()->savePathField()->setText(QStringLiteral("/srv/music"));
    sheet->send();
    ASSERT_TRUE(AppDriver::waitUntil([&] { return browse->sendingTorrentCount() == 0; }));
    EXPECT_EQ(part(lastUpload(), "category"), std::optional<QByteArray>("Music"));
    EXPECT_EQ(part(lastUpload(), "savepath"), std::optional<QByteArray>("/srv/music"));
    EXPECT_EQ(part(lastUpload(), "paused"),
              std::optional<QByteArray>("false"));  // the switch as shown
    EXPECT_EQ(client.addedTorrents().size(), 2u);

    // Held down, the download button opens the row's menu and sends nothing.
    QListView* table = browse->tableView();
    const auto* delegate = qobject_cast<FlatCellDelegate*>(table->itemDelegate());
    const QRect button = delegate->accessoryRect(table->visualRect(browse->model()->index(3)));
    QTest::mousePress(table->viewport(), Qt::LeftButton, {}, button.center());
    ASSERT_TRUE(AppDriver::waitUntil(
        [] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr; }));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QStringList actions;
    for (const QAction* a : menu->actions()) {
        actions.append(a->text());
    }
    EXPECT_EQ(actions, (QStringList{"Open details", "Send to my client", "Send paused",
                                    QStringLiteral("Send to…")}));
    menu->close();
    QTest::mouseRelease(table->viewport(), Qt::LeftButton, {}, button.center());
    EXPECT_EQ(browse->sendingTorrentCount(), 0);
    EXPECT_EQ(client.addedTorrents().size(), 2u);

    // The sheet holds its torrent, not its row: a reload while it is open that puts another
    // torrent on that row can't send the other one.
    const TorrentPtr fourth = browse->model()->torrentAt(4);
    ASSERT_NE(fourth, nullptr);
    browse->showSendToSheet(4);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the last sheet
    sheet = app->tabBar()->window()->findChild<SendToSheet*>();
    ASSERT_NE(sheet, nullptr);
    TorrentList reordered;
    for (int i = browse->model()->recordCount() - 1; i >= 0; --i) {
        reordered.append(browse->model()->torrentAt(i));
    }
    browse->model()->setTorrentData(reordered);
    ASSERT_NE(browse->model()->torrentAt(4), fourth);
    sheet->send();
    ASSERT_TRUE(AppDriver::waitUntil([&] { return browse->sendingTorrentCount() == 0; }));
    const std::optional<fake::ReceivedRequest> upload = lastUpload();
    const fake::ReceivedPart* file = upload ? upload->part("torrents") : nullptr;
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->filename,
              std::optional<QByteArray>(
                  FetchPageDownload::fileNameFromUrl(fourth->downloadUrl().value_or(QString()))
                      .toUtf8()));
    EXPECT_EQ(client.addedTorrents().size(), 3u);
}

TEST_F(BrowseListTest, RowsOpenDetailsAndTheNameOpensTheProfileThroughTheWebScreens) {
    ASSERT_NO_FATAL_FAILURE(launch());
    auto* browse = screen<AllListViewController>(0);
    NavigationStack* stack = app->tabBar()->navigationStack(0);

    // Enter opens the current row. The first web screen of the run loads the web plugin, which
    // takes a while: until it is in, a stand-in with the bar's back button and the loading
    // overlay is on the stack, and the details screen takes its place once made.
    EXPECT_FALSE(app->delegate().webLoader().wasTried());
    browse->tableView()->setFocus();
    browse->tableView()->setCurrentIndex(browse->model()->index(1));
    QTest::keyClick(browse->tableView(), Qt::Key_Return);
    ASSERT_EQ(stack->depth(), 2);
    ViewController* standIn = stack->topViewController();
    EXPECT_TRUE(standIn->inherits("pelloran::PendingWebScreen"));
    EXPECT_FALSE(app->delegate().webLoader().wasTried());
    EXPECT_NE(standIn->leftBarWidget(), nullptr);
    EXPECT_TRUE(LoadingIndicator::sharedInstance().isShown());
    ASSERT_TRUE(AppDriver::waitUntil(
        [&] { return stack->topViewController()->title() == QLatin1String("Fake details"); },
        5000));
    EXPECT_EQ(stack->depth(), 2);
    EXPECT_TRUE(app->delegate().webLoader().isLoaded());
    EXPECT_FALSE(stack->isNavigationBarHidden());
    stack->popViewController(false);
    EXPECT_TRUE(stack->isNavigationBarHidden());

    // Once the plugin is in, a row opens its details screen at once.
    QTest::keyClick(browse->tableView(), Qt::Key_Return);
    ASSERT_EQ(stack->depth(), 2);
    EXPECT_EQ(stack->topViewController()->title(), QStringLiteral("Fake details"));
    stack->popViewController(false);

    // Back on the stand-in before the screen is made: nothing is made, nothing stays behind.
    int made = 0;
    auto* pending = new PendingWebScreen([&]() -> ViewController* {
        ++made;
        return nullptr;
    });
    stack->pushViewController(pending, false);
    EXPECT_TRUE(LoadingIndicator::sharedInstance().isShown());
    stack->popViewController(false);
    EXPECT_FALSE(LoadingIndicator::sharedInstance().isShown());
    QTest::qWait(200);
    EXPECT_EQ(made, 0);
    // No screen to make (no plugin): the stand-in leaves by itself.
    stack->pushViewController(new PendingWebScreen([&]() -> ViewController* {
                                  ++made;
                                  return nullptr;
                              }),
                              false);
    ASSERT_TRUE(AppDriver::waitUntil([&] { return stack->depth() == 1; }, 5000));
    EXPECT_EQ(made, 1);
    EXPECT_FALSE(LoadingIndicator::sharedInstance().isShown());

    // The member's name: the profile page, with the tab bar locked until it says it loaded.
    QTest::mouseClick(browse->headerView()->usernameButton(), Qt::LeftButton);
    ASSERT_EQ(stack->depth(), 2);
    EXPECT_EQ(stack->topViewController()->title(), QStringLiteral("Fake profile"));
    EXPECT_FALSE(app->tabBar()->itemsEnabled());
    browse->webPageLoaded();
    EXPECT_TRUE(app->tabBar()->itemsEnabled());
    EXPECT_FALSE(LoadingIndicator::sharedInstance().isShown());
}

// The member's name as the run's first web screen: the overlay and the tab lock come at once,
// the plugin loads after that frame, and the profile screen then ends them as before.
TEST_F(BrowseListTest, TheFirstWebScreenBeingTheProfileShowsTheOverlayBeforeThePluginLoads) {
    ASSERT_NO_FATAL_FAILURE(launch());
    auto* browse = screen<AllListViewController>(0);
    NavigationStack* stack = app->tabBar()->navigationStack(0);
    QTest::mouseClick(browse->headerView()->usernameButton(), Qt::LeftButton);
    EXPECT_FALSE(app->delegate().webLoader().wasTried());
    EXPECT_TRUE(LoadingIndicator::sharedInstance().isShown());
    EXPECT_FALSE(app->tabBar()->itemsEnabled());
    ASSERT_TRUE(AppDriver::waitUntil([&] { return stack->depth() == 2; }, 5000));
    EXPECT_EQ(stack->topViewController()->title(), QStringLiteral("Fake profile"));
    browse->webPageLoaded();
    EXPECT_TRUE(app->tabBar()->itemsEnabled());
    EXPECT_FALSE(LoadingIndicator::sharedInstance().isShown());
}

TEST_F(BrowseListTest, ControlRRefreshesAndTheHeaderTakesOnlyItsTopTouches) {
    ASSERT_NO_FATAL_FAILURE(launch());
    auto* browse = screen<AllListViewController>(0);
    app->window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&app->window()));
    QTest::keyClick(&app->window(), Qt::Key_R, Qt::ControlModifier);
    ASSERT_TRUE(AppDriver::waitUntil([&] { return requestsFor(kPage1) == 2; }));
    ASSERT_TRUE(waitIdle(browse));
    EXPECT_EQ(names(browse), names(site.listing(kPage1)));  // replaced, not appended

    HeaderView* header = browse->headerView();
    const UiScale s = UiScale::of(header);
    const auto at = [&](qreal yPoints) {
        return app->window().childAt(
            header->mapTo(&app->window(), QPoint(s.px(150), s.px(yPoints))));
    };
    EXPECT_TRUE(header->isAncestorOf(at(20)) || at(20) == header);
    EXPECT_EQ(at(50), browse->tableView()->viewport());  // below 45 points: the list's row
}

TEST_F(BrowseListTest, LoadMoreKeepsTheRowsInViewWhereTheyWere) {
    ASSERT_NO_FATAL_FAILURE(launch());
    auto* browse = screen<AllListViewController>(0);
    QListView* table = browse->tableView();
    table->scrollToBottom();
    QCoreApplication::processEvents();
    QScrollBar* bar = table->verticalScrollBar();
    const int place = bar->value();
    ASSERT_GT(place, 0);
    const int topRow = table->indexAt(QPoint(1, 1)).row();
    const QModelIndex more = browse->model()->index(browse->model()->rowCount() - 1);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(more).center());
    ASSERT_TRUE(AppDriver::waitUntil([&] { return requestsFor(kPage2) == 1; }));
    ASSERT_TRUE(waitIdle(browse));
    QCoreApplication::processEvents();
    EXPECT_EQ(bar->value(), place);
    EXPECT_EQ(table->indexAt(QPoint(1, 1)).row(), topRow);
    EXPECT_GT(bar->maximum(), place);  // the new page waits below
}

TEST_F(BrowseListTest, EscapeAndAltLeftGoBackInEveryStack) {
    ASSERT_NO_FATAL_FAILURE(launch());
    auto* browse = screen<AllListViewController>(0);
    NavigationStack* stack = app->tabBar()->navigationStack(0);
    app->window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&app->window()));
    // Where the key goes: the focused widget when there is one in the window, else the window.
    const auto press = [&](int key, Qt::KeyboardModifiers mods) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus && app->window().isAncestorOf(focus) ? focus : &app->window(),
                        Qt::Key(key), mods);
    };
    const struct {
        const char* name;
        int key;
        Qt::KeyboardModifiers mods;
    } keys[] = {{"Escape", Qt::Key_Escape, Qt::NoModifier},
                {"Alt+Left", Qt::Key_Left, Qt::AltModifier}};
    for (const auto& k : keys) {
        SCOPED_TRACE(k.name);
        // A details page opened from the focused list.
        browse->tableView()->setFocus();
        browse->tableView()->setCurrentIndex(browse->model()->index(1));
        QTest::keyClick(browse->tableView(), Qt::Key_Return);
        ASSERT_TRUE(AppDriver::waitUntil([&] { return stack->depth() == 2; }, 5000));
        press(k.key, k.mods);
        EXPECT_EQ(stack->depth(), 1);

        // A settings screen, with nothing focused.
        QTest::mouseClick(browse->headerView()->settingsButton(), Qt::LeftButton);
        ASSERT_EQ(stack->depth(), 2);
        if (QWidget* focus = QApplication::focusWidget()) {
            focus->clearFocus();
        }
        press(k.key, k.mods);
        EXPECT_EQ(stack->depth(), 1);

        // A tab shown from the More list goes back to the list.
        app->tabBar()->setSelectedIndex(TabBarController::kVisibleTabs);
        ASSERT_FALSE(app->tabBar()->moreList()->isVisible());
        press(k.key, k.mods);
        EXPECT_TRUE(app->tabBar()->moreList()->isVisible());
        app->tabBar()->setSelectedIndex(0);
    }
}

}  // namespace
}  // namespace pelloran::test

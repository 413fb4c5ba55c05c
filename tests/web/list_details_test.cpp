// A list row's details page in the real engine, opened from the real list in the app: its
// download button sends that row's torrent through the list, and a snatch row's sends nothing.

#include "lists/all_list_view_controller.h"
#include "lists/snatch_list_view_controller.h"
#include "lists/torrent_list_model.h"
#include "support/app_driver.h"
#include "support/held_transmission.h"
#include "support/wait_idle.h"
#include "ui/alert_box.h"
#include "ui/loading_indicator.h"
#include "ui/navigation_stack.h"
#include "ui/tab_bar_controller.h"
#include "web/bar_buttons.h"
#include "web/torrent_web_view_controller.h"
#include "web/web_screens.h"
#include "web_fixture.h"

namespace pelloran::test {
namespace {

class ListDetailsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(site.start());
        ASSERT_TRUE(client.start());
        AppDriver::Options options;
        options.webFactory = &webScreens;
        app = std::make_unique<AppDriver>(site, options);
        app->storeMemberCredentials(true);
        app->launch();
        ASSERT_TRUE(app->waitForMainInterface());
        ASSERT_TRUE(app->waitForTabsUnlocked());
        client.chooseIn(app->services().server());
    }
    void TearDown() override {
        if (app) {
            app->quit();
        }
        app.reset();
    }

    // Opens `row` of the list in tab `tab` and waits for its details page in the engine.
    web::TorrentWebViewController* openDetails(int tab, AllListViewController* list, int row) {
        list->didSelectRow(row);
        NavigationStack* stack = app->tabBar()->navigationStack(tab);
        if (!AppDriver::waitUntil([&] { return stack->depth() == 2; }, 5000)) {
            return nullptr;
        }
        auto* details = dynamic_cast<web::TorrentWebViewController*>(stack->topViewController());
        if (!details ||
            !waitFor([&] { return details->loadsEnded() >= 1 && !details->isLoading(); })) {
            return nullptr;
        }
        return details;
    }

    demo::DemoSite site;
    HeldTransmission client{false};  // takes every upload at once
    web::WebScreens webScreens;
    std::unique_ptr<AppDriver> app;
};

TEST_F(ListDetailsTest, TheDetailsDownloadButtonSendsThatRowsTorrent) {
    auto* browse = dynamic_cast<AllListViewController*>(app->tabBar()->screen(0));
    ASSERT_NE(browse, nullptr);
    ASSERT_GT(browse->model()->recordCount(), 3);
    const TorrentPtr chosen = browse->model()->torrentAt(2);

    web::TorrentWebViewController* details = openDetails(0, browse, 2);
    ASSERT_NE(details, nullptr);
    EXPECT_TRUE(app->tabBar()->itemsEnabled()) << "the page's load gives the tabs back";
    QTest::mouseClick(details->downloadButton(), Qt::LeftButton);

    ASSERT_TRUE(AppDriver::waitUntil([&] { return client.uploads() == 1u; }, 30000));
    ASSERT_TRUE(AppDriver::waitUntil([&] { return browse->sendingTorrentCount() == 0; }, 30000));
    EXPECT_EQ(app->services().history().entries(), QStringList{chosen->name().value_or(QString())});
    EXPECT_TRUE(chosen->isDownloaded());
    EXPECT_FALSE(browse->model()->torrentAt(1)->isDownloaded());
    EXPECT_FALSE(browse->model()->torrentAt(3)->isDownloaded());
    EXPECT_EQ(app->root().alert(), nullptr) << alertTitle(app->root().alert()).toStdString();
}

TEST_F(ListDetailsTest, ASnatchRowsDetailsDownloadButtonSendsNothingAndSaysWhy) {
    app->tabBar()->setSelectedIndex(3);
    ASSERT_TRUE(app->waitForTabsUnlocked());
    auto* snatch = dynamic_cast<SnatchListViewController*>(app->tabBar()->screen(3));
    ASSERT_NE(snatch, nullptr);
    ASSERT_TRUE(AppDriver::waitUntil(
        [&] { return !snatch->isBusy() && snatch->model()->recordCount() > 0; }, 30000));

    web::TorrentWebViewController* details = openDetails(3, snatch, 0);
    ASSERT_NE(details, nullptr);
    site.clearRequestLog();
    QTest::mouseClick(details->downloadButton(), Qt::LeftButton);

    ASSERT_TRUE(AppDriver::waitUntil([&] { return app->root().alert() != nullptr; }, 5000));
    EXPECT_EQ(alertTitle(app->root().alert()), QString::fromLatin1(kSnatchSendTitle));
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(client.uploads(), 0u);
    for (const demo::LoggedRequest& r : site.requestLog()) {
        if (r.path != QLatin1String("/favicon.ico")) {  // the engine's own, for the page
            ADD_FAILURE() << "the site was asked for " << r.path.toStdString();
        }
    }
    EXPECT_TRUE(app->services().history().entries().isEmpty());
    EXPECT_FALSE(SendingTorrentIndicator::sharedInstance().isShown());
    tapAlertButton(app->root().alert(), 0);
}

}  // namespace
}  // namespace pelloran::test

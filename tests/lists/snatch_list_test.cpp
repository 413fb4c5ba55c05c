// The snatch list against the demo site: fetched on the first appearance only, at most 50 rows
// and no load-more row, says when the site can't be reached, and a snatch row's details page
// can't send the torrent.

#include "lists_fixture.h"

#include "lists/snatch_list_view_controller.h"
#include "support/wait_idle.h"
#include "ui/alert_box.h"

#include <QListView>

namespace pelloran::test {
namespace {

using SnatchListTest = ListsTest;

const QString kSnatchPath = QStringLiteral("/user/account/snatchlist");

TEST_F(SnatchListTest, FetchedOnceFiftyRowsAndTheRefreshButtonFetchesAgain) {
    ASSERT_NO_FATAL_FAILURE(launch());
    EXPECT_EQ(requestsFor(kSnatchPath), 0);
    open(3);
    auto* snatch = screen<SnatchListViewController>(3);
    ASSERT_TRUE(waitIdle(snatch));
    EXPECT_EQ(requestsFor(kSnatchPath), 1);
    EXPECT_EQ(snatch->model()->recordCount(), 50);  // the demo member has 80
    EXPECT_FALSE(snatch->model()->hasLoadMoreRow());
    EXPECT_EQ(snatch->model()->rowCount(), 50);
    const TorrentPtr first = snatch->model()->torrentAt(0);
    EXPECT_EQ(first->name(), site.snatchList(site.memberName()).front().name);

    open(0);
    open(3);
    EXPECT_EQ(requestsFor(kSnatchPath), 1);
    snatch->didRefresh();
    ASSERT_TRUE(waitIdle(snatch));
    EXPECT_EQ(requestsFor(kSnatchPath), 2);
    EXPECT_EQ(snatch->model()->recordCount(), 50);
}

TEST_F(SnatchListTest, WithoutTheSiteItSaysSoOnAppearingAndAfterARefresh) {
    ASSERT_NO_FATAL_FAILURE(launch());
    site.stop();
    open(3);
    auto* snatch = screen<SnatchListViewController>(3);
    ASSERT_TRUE(waitIdle(snatch));
    const auto quietLine = [snatch] {
        const TorrentListModel* m = snatch->model();
        return m->footer() == TorrentListModel::Footer::Status ? m->footerText() : QString();
    };
    EXPECT_EQ(snatch->model()->recordCount(), 0);
    EXPECT_EQ(quietLine(), QString::fromLatin1(kSiteUnreachableLine));
    snatch->didRefresh();
    ASSERT_TRUE(waitIdle(snatch));
    EXPECT_EQ(quietLine(), QString::fromLatin1(kSiteUnreachableLine));
    EXPECT_TRUE(snatch->scrollingEnabled());
}

TEST_F(SnatchListTest, ARowsDetailsDownloadSendsNothingAndSaysWhy) {
    HeldTransmission client;
    ASSERT_TRUE(client.start());
    ASSERT_NO_FATAL_FAILURE(launch());
    client.chooseIn(app->services().server());
    open(3);
    auto* snatch = screen<SnatchListViewController>(3);
    ASSERT_TRUE(waitIdle(snatch));

    // The row opens its details page; its download button calls back with the row's index.
    snatch->didSelectRow(0);
    NavigationStack* stack = app->tabBar()->navigationStack(3);
    ASSERT_EQ(stack->depth(), 2);
    site.clearRequestLog();
    snatch->didTapDownloadButton(0);

    ASSERT_TRUE(AppDriver::waitUntil([&] { return app->root().alert() != nullptr; }, 5000));
    QMessageBox* alert = app->root().alert();
    EXPECT_EQ(alertTitle(alert), QString::fromLatin1(kSnatchSendTitle));
    EXPECT_EQ(alertMessage(alert), QString::fromLatin1(kSnatchSendMessage));
    EXPECT_EQ(alertButtons(alert), QStringList{QStringLiteral("Ok")});
    EXPECT_EQ(snatch->sendingTorrentCount(), 0);
    EXPECT_FALSE(SendingTorrentIndicator::sharedInstance().isShown());
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_TRUE(site.requestLog().empty());  // not even the site was asked
    EXPECT_EQ(client.uploads(), 0u);
    EXPECT_TRUE(app->services().history().entries().isEmpty());
    EXPECT_TRUE(app->tabBar()->itemsEnabled());
    tapAlertButton(alert, 0);
}

}  // namespace
}  // namespace pelloran::test

// A list whose page did not come: it stays empty, shows one quiet line instead of the load-more
// row (no alert), and asks again at its next appearance. An empty page that did come is the
// end of the listing and says nothing.

#include "lists/all_list_view_controller.h"
#include "lists/torrent_list_model.h"
#include "net/cookie_store.h"
#include "net/session.h"
#include "site/site_config.h"
#include "site/user_info.h"
#include "store/settings_store.h"
#include "support/temp_home.h"
#include "support/test_server.h"
#include "support/wait_idle.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTest>
#include <atomic>

namespace pelloran {
namespace {

std::string savedListing() {
    QFile f(QStringLiteral(PELLORAN_TEST_DATA_DIR "/listing_small.html"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll().toStdString();
}

// The browse list on its own, its site a loopback server whose page 1 answers `answers` in turn.
class ListFetchFailureTest : public ::testing::Test {
protected:
    enum class Answer { Listing, ServerError, Changed, NoRows };

    void startSite(std::vector<Answer> answers) {
        answers_ = std::move(answers);
        const std::string listing = savedListing();
        server.server().Get(
            "/torrents/browse/index/page/1",
            [this, listing](const httplib::Request&, httplib::Response& res) {
                const size_t n = served_++;
                const Answer a = n < answers_.size() ? answers_[n] : Answer::Listing;
                switch (a) {
                    case Answer::Listing:
                        res.set_content(listing, "text/html");
                        break;
                    case Answer::ServerError:
                        res.status = 503;
                        res.set_content("busy", "text/plain");
                        break;
                    case Answer::Changed:
                        res.set_content(QString::fromStdString(listing)
                                            .replace(QStringLiteral("<a href="),
                                                     QStringLiteral("<a rel=x href="))
                                            .toStdString(),
                                        "text/html");
                        break;
                    case Answer::NoRows:
                        res.set_content("<html><table><tr><th>Name</th></tr></table></html>",
                                        "text/html");
                        break;
                }
            });
        ASSERT_TRUE(server.start());
        config = SiteConfig::buildDefaults();
        config.siteHost = server.hostPort();
        config.cookieDomain = QStringLiteral("127.0.0.1");
        session = std::make_unique<Session>(config.loginUrl(), config.loginTitle);
        context.site = {{&cookies, session.get()}, &config, &settings, &userInfo};
        context.remote.net = context.site.net;
        screen = std::make_unique<AllListViewController>(context);
        screen->resize(320, 480);
    }

    // Shows the screen and waits for the page it asks for.
    void appear() {
        screen->viewWillAppear();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !screen->isLoadingPage(); }, 20000));
    }

    QString footerLine() const {
        const TorrentListModel* m = screen->model();
        return m->footer() == TorrentListModel::Footer::Status ? m->footerText() : QString();
    }

    test::TestServer server;
    test::TempHome home;
    SettingsStore settings{home.path()};
    CookieStore cookies;
    UserInfo userInfo;
    SiteConfig config;
    std::unique_ptr<Session> session;
    ScreenContext context;
    std::unique_ptr<AllListViewController> screen;
    std::vector<Answer> answers_;
    std::atomic<size_t> served_{0};
};

TEST_F(ListFetchFailureTest, NoPageLeavesTheListEmptyWithALineAndTheNextAppearanceAsksAgain) {
    ASSERT_NO_FATAL_FAILURE(startSite({Answer::ServerError}));
    appear();
    EXPECT_EQ(served_, 1u);
    EXPECT_FALSE(screen->model()->hasTorrentData());
    EXPECT_EQ(screen->model()->recordCount(), 0);
    EXPECT_FALSE(screen->model()->hasLoadMoreRow());
    EXPECT_EQ(footerLine(), QString::fromLatin1(kSiteUnreachableLine));
    EXPECT_TRUE(screen->rowSelectionEnabled());

    appear();  // the next appearance tries again, and this time the page comes
    EXPECT_EQ(served_, 2u);
    EXPECT_EQ(screen->model()->recordCount(), 3);
    EXPECT_TRUE(screen->model()->hasLoadMoreRow());
    EXPECT_EQ(footerLine(), QString());

    screen->viewWillAppear();  // rows are held: nothing more is asked
    ASSERT_TRUE(test::waitUntilIdle());
    EXPECT_EQ(served_, 2u);
}

TEST_F(ListFetchFailureTest, APageNotUnderstoodSaysSoAndAnEmptyPageSaysNothing) {
    ASSERT_NO_FATAL_FAILURE(startSite({Answer::Changed, Answer::NoRows}));
    appear();
    EXPECT_EQ(screen->model()->recordCount(), 0);
    EXPECT_FALSE(screen->model()->hasLoadMoreRow());
    EXPECT_EQ(footerLine(), QString::fromLatin1(kPageNotUnderstoodLine));

    appear();  // the end of the listing: nothing to show, nothing to say
    EXPECT_EQ(served_, 2u);
    EXPECT_TRUE(screen->model()->hasTorrentData());
    EXPECT_EQ(screen->model()->rowCount(), 0);
    EXPECT_TRUE(screen->noMoreTorrents());

    screen->viewWillAppear();  // an empty page counts as arrived
    ASSERT_TRUE(test::waitUntilIdle());
    EXPECT_EQ(served_, 2u);
}

TEST_F(ListFetchFailureTest, ARefreshThatBringsNoPageSaysSoAndTheRefreshButtonWorksAgain) {
    ASSERT_NO_FATAL_FAILURE(startSite({Answer::Listing, Answer::ServerError}));
    appear();
    ASSERT_EQ(screen->model()->recordCount(), 3);
    screen->didRefresh();
    EXPECT_FALSE(screen->scrollingEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen->isLoadingPage(); }, 20000));
    EXPECT_EQ(footerLine(), QString::fromLatin1(kSiteUnreachableLine));
    EXPECT_TRUE(screen->scrollingEnabled());
    screen->didRefresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen->isLoadingPage(); }, 20000));
    EXPECT_EQ(served_, 3u);
    EXPECT_EQ(screen->model()->recordCount(), 3);
    EXPECT_EQ(footerLine(), QString());
}

}  // namespace
}  // namespace pelloran

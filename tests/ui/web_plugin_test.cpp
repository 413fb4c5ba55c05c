// The web screens' seam: the plugin is looked for and loaded only when a web tab first shows
// (after a frame with the loading overlay, the first time), and its screen then takes the tab's
// place.

#include "support/app_driver.h"
#include "ui/loading_indicator.h"
#include "ui/web_screen_factory.h"
#include "ui/web_screen_loader.h"
#include "ui/web_tab_screen.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace pelloran {
namespace {

TEST(WebScreenLoader, LoadsTheFirstPluginFoundAndSaysWhyWhenThereIsNone) {
    QTemporaryDir empty;
    WebScreenLoader missing({empty.path()});
    EXPECT_EQ(missing.factory(), nullptr);
    EXPECT_TRUE(missing.errorString().contains(QStringLiteral("pelloran_web")));

    WebScreenLoader loader({empty.path(), QStringLiteral(FAKE_WEB_PLUGIN_DIR)});
    EXPECT_FALSE(loader.isLoaded());
    ASSERT_NE(loader.factory(), nullptr) << loader.errorString().toStdString();
    EXPECT_TRUE(loader.isLoaded());
}

// An installed app must not load a plugin from the tree it was built in (a stale build, or
// another user's folder): it looks only beside itself and in its own ../lib/pelloran.
TEST(WebScreenLoader, LooksOnlyInFoldersOfTheProgramItself) {
    const QDir appDir(QCoreApplication::applicationDirPath());
    const QStringList expected{appDir.path(),
                               QDir::cleanPath(appDir.filePath(QStringLiteral("../lib/pelloran")))};
    EXPECT_EQ(WebScreenLoader::defaultSearchDirs(), expected);
}

TEST(WebTabScreen, StaysEmptyUntilShownThenShowsThePluginScreen) {
    WebScreenLoader loader({QStringLiteral(FAKE_WEB_PLUGIN_DIR)});
    ScreenContext context;
    context.web = &loader;
    ViewController browse;
    browse.setTitle(QStringLiteral("All Torrents"));
    WebTabScreen forum(WebTab::Forum, QStringLiteral("Forum"), QStringLiteral("tabbar-forum.png"),
                       context, &browse);
    EXPECT_EQ(forum.tabTitle(), QStringLiteral("Forum"));
    EXPECT_EQ(forum.webScreen(), nullptr);
    EXPECT_FALSE(loader.isLoaded());

    // The run's first web screen: the overlay shows first, the plugin loads after that frame.
    forum.show();
    forum.viewWillAppear();
    EXPECT_EQ(forum.webScreen(), nullptr);
    EXPECT_FALSE(loader.wasTried());
    EXPECT_TRUE(LoadingIndicator::sharedInstance().isShown());
    ASSERT_TRUE(test::AppDriver::waitUntil([&] { return forum.webScreen() != nullptr; }, 5000));
    EXPECT_FALSE(LoadingIndicator::sharedInstance().isShown());
    EXPECT_EQ(forum.webScreen()->parentWidget(), &forum);
    EXPECT_EQ(forum.title(), QStringLiteral("Fake forum"));
    EXPECT_EQ(forum.webScreen()->property("targetTitle").toString(),
              QStringLiteral("All Torrents"));
    ViewController* first = forum.webScreen();
    forum.viewWillAppear();
    EXPECT_EQ(forum.webScreen(), first);  // made once

    // Once the plugin is in, another tab's screen is made at once.
    WebTabScreen remote(WebTab::RemoteUi, QStringLiteral("Remote UI"),
                        QStringLiteral("tabbar-remote.png"), context, &browse);
    remote.viewWillAppear();
    EXPECT_NE(remote.webScreen(), nullptr);

    // Without a plugin the tab stays an empty screen with its title, and the overlay goes.
    WebScreenLoader none(QStringList{});
    context.web = &none;
    WebTabScreen site(WebTab::Site, QStringLiteral("127.0.0.1"), QStringLiteral("tabbar-web.png"),
                      context, &browse);
    site.show();
    site.viewWillAppear();
    ASSERT_TRUE(test::AppDriver::waitUntil([&] { return none.wasTried(); }, 5000));
    EXPECT_EQ(site.webScreen(), nullptr);
    EXPECT_EQ(site.title(), QStringLiteral("127.0.0.1"));
    EXPECT_FALSE(LoadingIndicator::sharedInstance().isShown());
}

// Left before the plugin was loaded: nothing loads then, and the next opening loads it.
TEST(WebTabScreen, LeftBeforeTheFrameLoadsNothingUntilShownAgain) {
    WebScreenLoader loader({QStringLiteral(FAKE_WEB_PLUGIN_DIR)});
    ScreenContext context;
    context.web = &loader;
    WebTabScreen forum(WebTab::Forum, QStringLiteral("Forum"), QStringLiteral("tabbar-forum.png"),
                       context, nullptr);
    forum.show();
    forum.viewWillAppear();
    forum.viewWillDisappear();
    forum.hide();
    EXPECT_FALSE(LoadingIndicator::sharedInstance().isShown());
    QTest::qWait(200);
    EXPECT_FALSE(loader.wasTried());
    EXPECT_EQ(forum.webScreen(), nullptr);

    forum.show();
    forum.viewWillAppear();
    ASSERT_TRUE(test::AppDriver::waitUntil([&] { return forum.webScreen() != nullptr; }, 5000));
    EXPECT_TRUE(loader.isLoaded());
}

class WebTabInTheAppTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(site.start()); }
    demo::DemoSite site;
};

TEST_F(WebTabInTheAppTest, SigningInLoadsNoPluginOpeningTheForumDoes) {
    test::AppDriver::Options options;
    options.webPluginDirs = {QStringLiteral(FAKE_WEB_PLUGIN_DIR)};
    test::AppDriver app(site, options);
    app.storeMemberCredentials(true);
    app.launch();
    ASSERT_TRUE(app.waitForMainInterface());
    EXPECT_FALSE(app.delegate().webLoader().isLoaded());

    app.tabBar()->setSelectedIndex(4);
    auto* forum = dynamic_cast<WebTabScreen*>(app.tabBar()->screen(4));
    ASSERT_NE(forum, nullptr);
    ASSERT_TRUE(test::AppDriver::waitUntil([&] { return forum->webScreen() != nullptr; }));
    EXPECT_TRUE(app.delegate().webLoader().isLoaded());
    EXPECT_EQ(forum->webScreen()->objectName(), QStringLiteral("fakeWebScreen"));
}

}  // namespace
}  // namespace pelloran

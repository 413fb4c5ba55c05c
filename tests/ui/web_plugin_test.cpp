// The web screens' seam: the plugin is looked for and loaded only when a web tab first shows,
// and its screen then takes the tab's place.

#include "support/app_driver.h"
#include "ui/web_screen_factory.h"
#include "ui/web_screen_loader.h"
#include "ui/web_tab_screen.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

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

    forum.viewWillAppear();
    ASSERT_NE(forum.webScreen(), nullptr);
    EXPECT_EQ(forum.webScreen()->parentWidget(), &forum);
    EXPECT_EQ(forum.title(), QStringLiteral("Fake forum"));
    EXPECT_EQ(forum.webScreen()->property("targetTitle").toString(),
              QStringLiteral("All Torrents"));
    ViewController* first = forum.webScreen();
    forum.viewWillAppear();
    EXPECT_EQ(forum.webScreen(), first);  // made once

    // Without a plugin the tab stays an empty screen with its title.
    WebScreenLoader none(QStringList{});
    context.web = &none;
    WebTabScreen site(WebTab::Site, QStringLiteral("127.0.0.1"), QStringLiteral("tabbar-web.png"),
                      context, &browse);
    site.viewWillAppear();
    EXPECT_EQ(site.webScreen(), nullptr);
    EXPECT_EQ(site.title(), QStringLiteral("127.0.0.1"));
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
    EXPECT_TRUE(app.delegate().webLoader().isLoaded());
    auto* forum = dynamic_cast<WebTabScreen*>(app.tabBar()->screen(4));
    ASSERT_NE(forum, nullptr);
    ASSERT_NE(forum->webScreen(), nullptr);
    EXPECT_EQ(forum->webScreen()->objectName(), QStringLiteral("fakeWebScreen"));
}

}  // namespace
}  // namespace pelloran

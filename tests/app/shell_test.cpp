// The shell around the screens: the tab bar built once per run, the stored tab, "More",
// logout, and the alerts of background operations.

#include "app_fixture.h"

#include "net/cookie_store.h"
#include "support/wait_idle.h"
#include "ui/more_list_view_controller.h"
#include "ui/navigation_stack.h"
#include "ui/note_banner.h"
#include "ui/tab_bar.h"
#include "ui/toggle_switch.h"

#include <QFile>
#include <QListWidget>
#include <thread>

namespace pelloran::test {
namespace {

using ShellTest = AppTest;

void clickSlot(TabBarController* tabs, int slot) {
    TabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->slotRect(slot).center());
}

// Taps "More", then row `row` of its list.
void chooseMoreRow(TabBarController* tabs, int row) {
    clickSlot(tabs, TabBarController::kVisibleTabs);
    QListWidget* list = tabs->moreList()->list();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

TEST_F(ShellTest, TheTenTabsInOrderThenStats) {
    launchSignedIn();
    TabBarController* tabs = app->tabBar();
    ASSERT_EQ(tabs->count(), 11);
    const QStringList titles = {"All Torrents", "Favorites",   "Search",    "My SnatchList",
                                "Forum",        "D/l History", "Remote UI", "Remote Settings",
                                "127.0.0.1",    "Logout",      "Stats"};
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(tabs->screen(i)->tabTitle(), titles[i]) << i;
        EXPECT_EQ(tabs->navigationStack(i) != nullptr, i != 5) << i;
    }
    EXPECT_EQ(tabs->screen(0)->tabImageName(), QStringLiteral("tabbar-all.png"));
    EXPECT_EQ(tabs->screen(9)->tabImageName(), QStringLiteral("tabbar-logout.png"));
    EXPECT_EQ(tabs->screen(10)->tabImageName(), QStringLiteral("tabbar-stats.png"));
    EXPECT_EQ(tabs->moreList()->rowCount(), 7);  // the six, then Stats
    EXPECT_EQ(tabs->selectedIndex(), 0);         // nothing stored: the first tab
}

TEST_F(ShellTest, TabBarIsBuiltOnceAndTheStoredTabRestoredOnlyThen) {
    app->settings().setValue(keys::tab, qint64(3));
    launchSignedIn();
    TabBarController* tabs = app->tabBar();
    EXPECT_EQ(tabs->selectedIndex(), 3);

    clickSlot(tabs, 1);
    EXPECT_EQ(app->settings().integer(keys::tab), 1);
    ASSERT_TRUE(app->waitForTabsUnlocked());  // the favorites scan
    clickSlot(tabs, 4);                       // "More" is no tab to come back to
    EXPECT_EQ(app->settings().integer(keys::tab), 1);

    chooseMoreRow(tabs, 5);  // Logout
    ASSERT_TRUE(app->waitForLoginFace());
    EXPECT_EQ(tabs->selectedIndex(), 0);
    app->settings().setValue(keys::tab, qint64(2));

    app->signInByHand(site.memberName(), site.memberPassword());
    ASSERT_TRUE(app->waitForMainInterface());
    EXPECT_EQ(app->tabBar(), tabs);
    EXPECT_EQ(tabs->selectedIndex(), 0);  // as logout left it, not the stored 2
}

// Signing in builds the screens of the tab on screen only; every other tab's screens are built
// when first asked for, under the item the bar and the More list showed before.
TEST_F(ShellTest, ATabIsBuiltWhenFirstNeededUnderTheSameItem) {
    app->settings().setValue(keys::tab, qint64(7));  // Remote Settings, in "More"
    launchSignedIn();
    TabBarController* tabs = app->tabBar();
    EXPECT_EQ(tabs->selectedIndex(), 7);
    for (int i = 0; i < tabs->count(); ++i) {
        EXPECT_EQ(tabs->isBuilt(i), i == 7) << i;
    }
    const auto items = [tabs] {
        QStringList shown;
        for (int slot = 0; slot < tabs->tabBar()->count(); ++slot) {
            const TabBar::Item item = tabs->tabBar()->item(slot);
            shown << item.title + QLatin1Char('|') + item.imageName;
        }
        QListWidget* list = tabs->moreList()->list();
        for (int row = 0; row < list->count(); ++row) {
            shown << list->item(row)->text();
        }
        return shown;
    };
    const QStringList before = items();
    EXPECT_EQ(before.size(), 5 + tabs->count() - TabBarController::kVisibleTabs);
    clickSlot(tabs, 2);  // Search, shown for the first time
    EXPECT_TRUE(tabs->isBuilt(2));
    EXPECT_EQ(tabs->selectedIndex(), 2);
    EXPECT_TRUE(tabs->navigationStack(2)->isVisible());
    for (int i = 0; i < tabs->count(); ++i) {
        ASSERT_NE(tabs->screen(i), nullptr) << i;
    }
    EXPECT_EQ(items(), before);
    EXPECT_EQ(tabs->selectedIndex(), 2);
}

TEST_F(ShellTest, AStoredLogoutTabIsNotRestoredAndLogoutNeedsTheMainInterface) {
    // Restoring the Logout tab would log the member out at every start.
    app->settings().setValue(keys::tab, qint64(9));
    app->launch();
    // Nothing to log out of while the login face shows: it stays, and no tab bar is built.
    app->root().logout();
    EXPECT_EQ(app->tabBar(), nullptr);
    EXPECT_FALSE(app->root().isMainInterfaceShown());
    app->signInByHand(site.memberName(), site.memberPassword());
    ASSERT_TRUE(app->waitForMainInterface());
    EXPECT_EQ(app->tabBar()->selectedIndex(), 0);
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_TRUE(app->root().isMainInterfaceShown());
}

TEST_F(ShellTest, SelectingATabTakesMoreBackToItsList) {
    launchSignedIn();
    TabBarController* tabs = app->tabBar();
    chooseMoreRow(tabs, 1);
    EXPECT_EQ(tabs->selectedIndex(), 5);
    clickSlot(tabs, 0);
    clickSlot(tabs, 4);
    EXPECT_EQ(tabs->selectedIndex(), TabBarController::kMoreListIndex);
    EXPECT_FALSE(tabs->moreNavigationStack()->isNavigationBarHidden());
}

TEST_F(ShellTest, LogoutDeletesOnlyTheSiteAndCaptchaCookiesAndDoesNotSignInAgain) {
    launchSignedIn();
    CookieStore& cookies = app->services().cookies();
    const auto cookie = [](const QString& domain, const QString& name) {
        Cookie c;
        c.domain = domain;
        c.name = name;
        c.value = QStringLiteral("v");
        return c;
    };
    cookies.setCookie(cookie(site.captchaCookieDomain(), QStringLiteral("captcha")));
    cookies.setCookie(cookie(QStringLiteral("127.0.0.2"), QStringLiteral("forum")));
    cookies.setCookie(cookie(QStringLiteral(".elsewhere.example"), QStringLiteral("other")));
    const auto names = [&] {
        QStringList n;
        for (const Cookie& c : cookies.cookies()) {
            n.append(c.name);
        }
        n.sort();
        return n;
    };
    ASSERT_TRUE(names().contains(QStringLiteral("qauid")));

    chooseMoreRow(app->tabBar(), 5);
    ASSERT_TRUE(app->waitForLoginFace());
    EXPECT_EQ(names(), (QStringList{"forum", "other"}));
    // The fresh login face keeps automatic login on, but does not use it by itself.
    site.clearRequestLog();
    EXPECT_TRUE(app->login()->automaticLoginSwitch()->isChecked());
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_TRUE(site.requestLog().empty());
    EXPECT_EQ(app->login()->passwordField()->text(), site.memberPassword());
}

TEST_F(ShellTest, ASettingsFileBrokenWhileTheAppRunsIsToldInANote) {
    launchSignedIn();
    {
        QFile file(app->settings().filePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("{ not settings");
    }
    clickSlot(app->tabBar(), 2);  // stores the tab: the store meets the broken file
    ASSERT_TRUE(AppDriver::waitUntil([&] { return NoteBanner::current(&app->window()); }));
    NoteBanner* note = NoteBanner::current(&app->window());
    EXPECT_TRUE(note->isVisible());
    EXPECT_TRUE(note->text().contains(QStringLiteral("settings.json")))
        << note->text().toStdString();
    EXPECT_EQ(SettingsStore(app->homePath()).integer(keys::tab), 2);  // nothing lost
    EXPECT_FALSE(app->root().alert());                                // a note, not a modal alert
    QTest::mouseClick(note, Qt::LeftButton);
    EXPECT_TRUE(AppDriver::waitUntil([&] { return !NoteBanner::current(&app->window()); }));
}

TEST_F(ShellTest, BackgroundAlertsShowWithoutWaitingAndAreForgottenWhenDismissed) {
    launchSignedIn();
    AlertSink& sink = app->root().alertSink();
    const Alert alert{QStringLiteral("Connection with server failed."),
                      QStringLiteral("Please make sure you have correctly setup your remote "
                                     "download settings."),
                      {QStringLiteral("Ok")}};
    std::thread operation([&] { sink.showAlert(alert); });  // returns without the member
    operation.join();
    ASSERT_TRUE(AppDriver::waitUntil([&] { return app->root().alert() != nullptr; }));
    QMessageBox* box = app->root().alert();
    EXPECT_EQ(alertTitle(box), alert.title);
    EXPECT_EQ(alertMessage(box), alert.message);
    EXPECT_EQ(alertButtons(box), alert.buttons);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    tapAlertButton(box, 0);
    EXPECT_TRUE(AppDriver::waitUntil([&] { return app->root().alert() == nullptr; }));
}

}  // namespace
}  // namespace pelloran::test

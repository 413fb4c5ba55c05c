// Navigation stacks and the tab bar with "More": what shows, what hears it will show, and what
// is discarded.

#include "ui/more_list_view_controller.h"
#include "ui/navigation_bar.h"
#include "ui/navigation_stack.h"
#include "ui/tab_bar.h"
#include "ui/tab_bar_controller.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace pelloran {
namespace {

// A screen that counts what its container tells it.
class CountingScreen : public ViewController {
public:
    explicit CountingScreen(const QString& name) {
        setTitle(name);
        setTabBarItem(name, QStringLiteral("tabbar-all.png"));
    }
    void viewWillAppear() override { ++appeared; }
    void viewWillDisappear() override { ++disappeared; }
    int appeared = 0;
    int disappeared = 0;
};

TEST(NavigationStack, PushAndPopTellTheScreensAndDiscardWhatWasPopped) {
    auto* root = new CountingScreen(QStringLiteral("Root"));
    NavigationStack stack(root);
    stack.resize(320, 480);
    auto* details = new CountingScreen(QStringLiteral("Details"));
    QPointer<CountingScreen> watch = details;

    stack.pushViewController(details);
    EXPECT_EQ(stack.topViewController(), details);
    EXPECT_EQ(details->navigationStack(), &stack);
    EXPECT_EQ(details->appeared, 1);
    EXPECT_EQ(root->disappeared, 1);
    EXPECT_EQ(stack.navigationBar()->title(), QStringLiteral("Details"));
    EXPECT_EQ(stack.navigationBar()->backTitle(), QStringLiteral("Root"));

    // The back button pops; the popped screen goes, the root hears it shows again.
    stack.navigationBar()->backButton()->click();
    EXPECT_EQ(stack.topViewController(), root);
    EXPECT_EQ(root->appeared, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return watch.isNull(); }, 2000));

    // The root is never popped, and a screen inside another finds the stack through it.
    stack.popViewController();
    stack.popToRootViewController();
    EXPECT_EQ(stack.depth(), 1);
    auto* inner = new ViewController(root);
    EXPECT_EQ(inner->navigationStack(), &stack);
}

class TabBarControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        controller.resize(320, 480);
        for (int i = 0; i < 10; ++i) {
            screens.append(new CountingScreen(QStringLiteral("Tab %1").arg(i)));
            controller.addTab(screens.last(), i != 5);
        }
        controller.show();
    }
    void clickSlot(int slot) {
        TabBar* bar = controller.tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->slotRect(slot).center());
    }
    void chooseMoreRow(int row) {
        QListWidget* list = controller.moreList()->list();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    TabBarController controller;
    QList<CountingScreen*> screens;
};

TEST_F(TabBarControllerTest, FourTabsOnTheBarAndTheRestInMore) {
    ASSERT_EQ(controller.tabBar()->count(), 5);
    EXPECT_EQ(controller.tabBar()->item(3).title, QStringLiteral("Tab 3"));
    EXPECT_EQ(controller.tabBar()->item(4).title, QStringLiteral("More"));
    ASSERT_EQ(controller.moreList()->rowCount(), 6);
    EXPECT_EQ(controller.moreList()->list()->item(0)->text(), QStringLiteral("Tab 4"));
    EXPECT_EQ(controller.navigationStack(5), nullptr);  // the tab without a stack of its own
    EXPECT_EQ(controller.selectedIndex(), 0);
}

TEST_F(TabBarControllerTest, TapsAreReportedAndMoreRowsOpenInsideMore) {
    QSignalSpy taps(&controller, &TabBarController::didSelect);
    QSignalSpy fromMore(&controller, &TabBarController::didSelectFromMore);
    clickSlot(2);
    EXPECT_EQ(controller.selectedIndex(), 2);
    EXPECT_EQ(screens[2]->appeared, 1);
    EXPECT_EQ(screens[0]->disappeared, 1);
    clickSlot(4);
    EXPECT_EQ(controller.selectedIndex(), TabBarController::kMoreListIndex);
    ASSERT_EQ(taps.size(), 2);
    EXPECT_EQ(taps[1][0].toInt(), TabBarController::kMoreListIndex);

    chooseMoreRow(1);  // tab 5, the one without its own stack: More gives it a back button
    EXPECT_EQ(controller.selectedIndex(), 5);
    EXPECT_EQ(screens[5]->appeared, 1);
    ASSERT_EQ(fromMore.size(), 1);
    EXPECT_EQ(fromMore[0][0].toInt(), 5);
    NavigationStack* shownIn = screens[5]->navigationStack();
    ASSERT_NE(shownIn, nullptr);
    EXPECT_EQ(shownIn->navigationBar()->backTitle(), QStringLiteral("More"));

    shownIn->navigationBar()->backButton()->click();
    EXPECT_EQ(controller.selectedIndex(), TabBarController::kMoreListIndex);
    EXPECT_EQ(screens[5]->disappeared, 1);
}

TEST_F(TabBarControllerTest, SelectingFromCodeReportsNothingAndPopMoreGoesBackToTheList) {
    QSignalSpy taps(&controller, &TabBarController::didSelect);
    controller.setSelectedIndex(7);
    EXPECT_EQ(controller.selectedIndex(), 7);
    EXPECT_EQ(screens[7]->appeared, 1);
    auto* pushed = new CountingScreen(QStringLiteral("Pushed"));
    screens[7]->navigationStack()->pushViewController(pushed);
    controller.popMoreToRoot();
    EXPECT_EQ(controller.selectedIndex(), TabBarController::kMoreListIndex);
    EXPECT_EQ(controller.navigationStack(7)->depth(), 1);
    EXPECT_FALSE(controller.moreNavigationStack()->isNavigationBarHidden());
    controller.setSelectedIndex(0);
    EXPECT_EQ(controller.selectedIndex(), 0);
    EXPECT_TRUE(taps.isEmpty());
}

TEST_F(TabBarControllerTest, DisabledItemsIgnoreTapsUntilEnabledAgain) {
    controller.setItemsEnabled(false);
    clickSlot(1);
    clickSlot(4);
    EXPECT_EQ(controller.selectedIndex(), 0);
    EXPECT_FALSE(controller.moreList()->list()->item(0)->flags() & Qt::ItemIsEnabled);
    controller.setItemsEnabled(true);
    clickSlot(1);
    EXPECT_EQ(controller.selectedIndex(), 1);
    EXPECT_TRUE(controller.moreList()->list()->item(0)->flags() & Qt::ItemIsEnabled);
}

}  // namespace
}  // namespace pelloran

#pragma once
// A demo site and the app driven against it.

#include "store/settings_keys.h"
#include "support/app_driver.h"
#include "ui/alert_box.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace pelloran::test {

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(site.start());
        app = std::make_unique<AppDriver>(site);
    }
    void TearDown() override { app.reset(); }

    // Signs the demo member in automatically at launch and waits for the main interface, and
    // for the tab in front to have its page (the tab bar is locked until then).
    void launchSignedIn() {
        app->storeMemberCredentials(true);
        app->launch();
        ASSERT_TRUE(app->waitForMainInterface());
        ASSERT_TRUE(app->waitForTabsUnlocked());
    }

    demo::DemoSite site;
    std::unique_ptr<AppDriver> app;
};

}  // namespace pelloran::test

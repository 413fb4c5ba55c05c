#pragma once
// The app signed in against a demo site, with the web screens' stand-in plugin, and helpers to
// reach the list screens and a remote client stand-in that holds each upload until released.

#include "lists/all_list_view_controller.h"
#include "lists/torrent_list_model.h"
#include "remote/server_info.h"
#include "support/app_driver.h"
#include "support/held_transmission.h"
#include "support/test_server.h"
#include "ui/loading_indicator.h"
#include "ui/navigation_stack.h"
#include "ui/tab_bar_controller.h"

#include <gtest/gtest.h>

#include <QTest>
#include <memory>

namespace pelloran::test {

class ListsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(site.start()); }
    void TearDown() override { app.reset(); }

    // Signs the demo member in (with `prepare` run on the store first) and waits until the tab
    // in front has its page.
    void launch(const std::function<void(SettingsStore&)>& prepare = {}) {
        AppDriver::Options options;
        options.webPluginDirs = {QStringLiteral(FAKE_WEB_PLUGIN_DIR)};
        app = std::make_unique<AppDriver>(site, options);
        app->storeMemberCredentials(true);
        if (prepare) {
            prepare(app->settings());
            app->settings().flush();
        }
        app->launch();
        ASSERT_TRUE(app->waitForMainInterface());
        ASSERT_TRUE(app->waitForTabsUnlocked());
    }

    template <typename Screen>
    Screen* screen(int tab) {
        return dynamic_cast<Screen*>(app->tabBar()->screen(tab));
    }

    // Selects a tab as the member does and waits for what it loads.
    void open(int tab) {
        app->tabBar()->setSelectedIndex(tab);
        ASSERT_TRUE(app->waitForTabsUnlocked());
    }

    static bool waitIdle(AllListViewController* list) {
        return AppDriver::waitUntil(
            [list] { return !list->isBusy() && list->queuedOperations() == 0; });
    }

    int requestsFor(const QString& path) const {
        int n = 0;
        for (const demo::LoggedRequest& r : site.requestLog(QStringLiteral("site"))) {
            n += r.path == path;
        }
        return n;
    }

    QStringList names(const AllListViewController* list) const {
        QStringList out;
        for (int r = 0; r < list->model()->recordCount(); ++r) {
            out.append(list->model()->torrentAt(r)->name().value_or(QString()));
        }
        return out;
    }

    static QStringList names(const std::vector<demo::DemoTorrent>& rows) {
        QStringList out;
        for (const demo::DemoTorrent& t : demo::DemoSite::clientRows(rows)) {
            out.append(t.name);
        }
        return out;
    }

    demo::DemoSite site;
    std::unique_ptr<AppDriver> app;
};

}  // namespace pelloran::test

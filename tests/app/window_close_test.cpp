// Closing the window ends the run at once: a push waiting on a client that doesn't answer is
// cut off rather than waited for, says nothing on its way out, and the settings and cookie
// files stay whole. A watchdog far shorter than the push's own time limit lets the client go
// if the run waits for it, so a run that waits fails the test instead of hanging it.

#include "app_fixture.h"

#include "lists/all_list_view_controller.h"
#include "lists/torrent_list_model.h"
#include "net/cookie_store.h"
#include "store/app_paths.h"
#include "store/settings_store.h"
#include "support/hostile_server.h"

#include <QDir>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace pelloran::test {
namespace {

using WindowCloseTest = AppTest;

TEST_F(WindowCloseTest, ClosingMidPushCutsThePushOffAndLeavesTheFilesWhole) {
    HostileServer client;  // reads what it is sent and never answers
    Reply never = page("");
    never.delivery = Delivery::Never;
    client.route("", "*", never);
    ASSERT_TRUE(client.start());
    ASSERT_NO_FATAL_FAILURE(launchSignedIn());
    ServerInfo& server = app->services().server();
    server.setClient(QStringLiteral("Transmission"));
    server.setAddress(QString::fromStdString(client.address()));
    server.setPort(QString::number(client.port()));
    auto* browse = dynamic_cast<AllListViewController*>(app->tabBar()->screen(0));
    ASSERT_NE(browse, nullptr);
    ASSERT_GT(browse->model()->recordCount(), 0);
    browse->didTapDownloadButton(0);
    ASSERT_TRUE(AppDriver::waitUntil([&] { return client.requests().size() == 1; }));

    std::mutex mutex;
    std::condition_variable ended;
    bool runEnded = false;
    std::atomic<bool> watchdogFired{false};
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        if (!ended.wait_for(lock, std::chrono::seconds(10), [&] { return runEnded; })) {
            watchdogFired = true;
            client.stop();
        }
    });
    app->window().close();
    app->quit();
    {
        std::lock_guard lock(mutex);
        runEnded = true;
    }
    ended.notify_all();
    watchdog.join();
    EXPECT_FALSE(watchdogFired.load()) << "the run waited for the push";
    EXPECT_TRUE(app->services().history().entries().isEmpty());

    // What is on disk reads back whole: the member's settings and the site's session.
    SettingsStore reread(app->homePath());
    EXPECT_EQ(reread.string(keys::serverClient), QStringLiteral("Transmission"));
    EXPECT_TRUE(reread.takeNotices().isEmpty());
    app->services().cookies().save();
    CookieStore cookies(cookieFilePath(app->homePath()));
    EXPECT_FALSE(cookies.cookies().isEmpty());
    EXPECT_TRUE(cookies.takeNotices().isEmpty());
    const QStringList leftovers =
        QDir(app->homePath()).entryList(QDir::Files).filter(QStringLiteral(".tmp"));
    EXPECT_TRUE(leftovers.isEmpty()) << leftovers.join(QLatin1Char(' ')).toStdString();
}

}  // namespace
}  // namespace pelloran::test

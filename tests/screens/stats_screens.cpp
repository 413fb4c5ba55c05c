// Pictures of the Stats screen: a month of made-up history ending at the demo member's bar, in
// full and with the ratio guard in force.

#include "screens.h"

#include "stats/stats_view_controller.h"
#include "store/activity_recorder.h"
#include "store/settings_keys.h"
#include "support/activity_seed.h"
#include "ui/more_list_view_controller.h"

#include <QListWidget>
#include <QScrollArea>
#include <QScrollBar>

namespace pelloran::screens {

namespace {

using test::AppDriver;

constexpr int kStatsTab = 10;

StatsViewController* openStats(AppDriver& app) {
    clickSlot(app, TabBarController::kVisibleTabs);
    settle();
    QListWidget* list = app.tabBar()->moreList()->list();
    const QRect r = list->visualItemRect(list->item(kStatsTab - TabBarController::kVisibleTabs));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    auto* stats = qobject_cast<StatsViewController*>(app.tabBar()->screen(kStatsTab));
    if (stats) {
        AppDriver::waitUntil([stats] { return !stats->isReading(); }, 10000);
    }
    settle();
    return stats;
}

}  // namespace

std::vector<Shot> statsShots() {
    return {
        {QStringLiteral("stats.png"),
         [](AppDriver& app, demo::DemoSite&) {
             // What the app read from the demo site so far is written first; the month of
             // history ends a moment before it, at the same figures.
             app.services().recorder().flush();
             test::ActivitySeed seed;
             seed.end = QDateTime::currentDateTimeUtc().addSecs(-20 * 60);
             seed.endUploaded = qint64(120.5 * 1024 * 1024 * 1024);
             seed.endDownloaded = qint64(97.66 * 1024 * 1024 * 1024);
             test::seedActivity(app.services().activity(), seed);
             StatsViewController* stats = openStats(app);
             return stats ? app.grab() : QImage();
         }},
        {QStringLiteral("stats-lower.png"),
         [](AppDriver& app, demo::DemoSite&) {
             auto* stats = qobject_cast<StatsViewController*>(app.tabBar()->screen(kStatsTab));
             if (!stats) {
                 return QImage();
             }
             QScrollArea* scroll = stats->findChild<QScrollArea*>();
             scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
             settle();
             return app.grab();
         }},
        {QStringLiteral("stats-ratio-guard.png"),
         [](AppDriver& app, demo::DemoSite&) {
             auto* stats = qobject_cast<StatsViewController*>(app.tabBar()->screen(kStatsTab));
             if (!stats) {
                 return QImage();
             }
             app.settings().setValue(keys::warnBelowRatio, QStringLiteral("1.3"));
             QScrollArea* scroll = stats->findChild<QScrollArea*>();
             scroll->verticalScrollBar()->setValue(0);
             stats->reload();
             AppDriver::waitUntil([stats] { return !stats->isReading(); }, 10000);
             settle();
             QImage shot = app.grab();
             app.settings().remove(keys::warnBelowRatio);
             app.settings().flush();
             app.tabBar()->popMoreToRoot();
             settle();
             return shot;
         }},
    };
}

}  // namespace pelloran::screens

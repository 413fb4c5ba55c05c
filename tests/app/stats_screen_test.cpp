// The account at a glance in the app: pages read are recorded off the UI thread even when the
// activity database had to be set aside; the Stats screen draws what the database holds when it
// appears; the ratio guard colours the header's ratio, is said on the Stats screen, and is
// turned off and on from there.

#include "app_fixture.h"

#include "lists/all_list_view_controller.h"
#include "stats/stats_view_controller.h"
#include "store/activity_database.h"
#include "store/activity_log.h"
#include "store/activity_recorder.h"
#include "support/activity_seed.h"
#include "ui/header_view.h"
#include "ui/note_banner.h"
#include "ui/toggle_switch.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>

namespace pelloran::test {
namespace {

constexpr int kStatsTab = 10;

class StatsScreenTest : public AppTest {
protected:
    StatsViewController* openStats() {
        app->tabBar()->setSelectedIndex(kStatsTab);
        auto* stats = qobject_cast<StatsViewController*>(app->tabBar()->screen(kStatsTab));
        EXPECT_TRUE(stats);
        EXPECT_TRUE(AppDriver::waitUntil([stats] { return stats && !stats->isReading(); }));
        return stats;
    }
    HeaderView* header() {
        return qobject_cast<AllListViewController*>(app->tabBar()->screen(0))->headerView();
    }
};

TEST_F(StatsScreenTest, ACorruptDatabaseIsSetAsideAndTheAppStillStartsAndRecords) {
    {
        QFile file(QDir(app->homePath()).filePath(ActivityDatabase::fileName()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, 'x'));
    }
    launchSignedIn();
    ASSERT_TRUE(app->services().recorder().flush(QDeadlineTimer(20000)));
    ASSERT_TRUE(AppDriver::waitUntil([&] { return NoteBanner::current(&app->window()); }));
    EXPECT_TRUE(NoteBanner::current(&app->window())->text().contains(QStringLiteral("activity")));
    const std::optional<MemberSample> latest =
        ActivityLog(app->services().activity()).latestSample();
    ASSERT_TRUE(latest.has_value());  // the browse page's member bar
    EXPECT_EQ(latest->ratio, 1.234);
    EXPECT_EQ(
        QDir(app->homePath()).entryList({QStringLiteral("activity.sqlite.unreadable-*")}).size(),
        1);
}

TEST_F(StatsScreenTest, TheScreenDrawsTheDatabaseAndTheGuardWarnsUntilTurnedOff) {
    ActivitySeed seed;
    seed.end = QDateTime::currentDateTimeUtc().addSecs(-3600);
    seed.samples = 200;
    seed.pushes = 12;
    ASSERT_TRUE(seedActivity(app->services().activity(), seed));
    app->settings().setValue(keys::warnBelowRatio, QStringLiteral("1.5"));
    launchSignedIn();
    EXPECT_TRUE(header()->ratioWarning());  // the bar's 1.234 is below 1.5

    StatsViewController* stats = openStats();
    ASSERT_TRUE(stats);
    ASSERT_TRUE(stats->shownStats().latest.has_value());
    EXPECT_FALSE(stats->shownStats().samples.isEmpty());
    EXPECT_EQ(stats->shownStats().lastPushes.size(), 10);
    EXPECT_TRUE(stats->ratioView()->isVisible());
    EXPECT_TRUE(stats->guardSwitch()->isChecked());
    EXPECT_TRUE(stats->guardLine()->isVisible());
    EXPECT_TRUE(stats->guardLine()->text().contains(QStringLiteral("1.23 is below 1.50")))
        << stats->guardLine()->text().toStdString();

    stats->guardSwitch()->click();  // off
    EXPECT_EQ(SettingsStore(app->homePath()).string(keys::warnBelowRatio), QString());
    EXPECT_FALSE(stats->guardLine()->isVisible());
    stats->guardField()->setText(QStringLiteral("1.1"));
    stats->guardSwitch()->click();  // on again, at a ratio the member is above
    EXPECT_EQ(SettingsStore(app->homePath()).string(keys::warnBelowRatio), QStringLiteral("1.1"));
    EXPECT_FALSE(stats->guardLine()->isVisible());
    app->tabBar()->setSelectedIndex(0);
    qobject_cast<AllListViewController*>(app->tabBar()->screen(0))->reloadHeaderView();
    EXPECT_FALSE(header()->ratioWarning());
}

TEST_F(StatsScreenTest, AnEmptyDatabaseSaysSoInsteadOfDrawingEmptyAxes) {
    launchSignedIn();
    ASSERT_TRUE(app->services().recorder().flush(QDeadlineTimer(20000)));
    StatsViewController* stats = openStats();
    ASSERT_TRUE(stats);
    // One sample (the page just read) and no pushes: the plots have a point, the bars none.
    EXPECT_TRUE(stats->shownStats().lastPushes.isEmpty());
    const QList<QLabel*> labels = stats->findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](QLabel* l) {
        return l->isVisible() && l->text() == QStringLiteral("No pushes in this range.");
    }));
}

}  // namespace
}  // namespace pelloran::test

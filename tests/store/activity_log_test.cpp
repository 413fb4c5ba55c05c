// The account over time: member-bar samples kept at most every ten minutes unless a figure
// changed (within a program and across programs), pushes with their outcome and origin read
// back, the figures the stats show, a file of an older schema brought forward with its records,
// and the ratio guard's decision.

#include "store/activity_log.h"
#include "store/activity_database.h"
#include "store/activity_recorder.h"
#include "store/activity_stats.h"
#include "store/ratio_guard.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "support/temp_home.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <limits>

namespace pelloran {
namespace {

const QDateTime kT0 = QDateTime::fromSecsSinceEpoch(1800000000, Qt::UTC);

MemberSample sample(qint64 minutes, std::optional<double> ratio, qint64 up, qint64 down = 100) {
    return {kT0.addSecs(minutes * 60), ratio, up, down};
}

PushRecord push(int n, PushResult result, PushOrigin origin, qint64 minutes = 0) {
    PushRecord p;
    p.time = kT0.addSecs(minutes * 60);
    p.name = QStringLiteral("Name %1").arg(n);
    p.detailsPath = QStringLiteral("/torrent/%1/Name").arg(n);
    p.infoHash = QByteArray::number(n).rightJustified(40, 'b');
    p.size = n % 2 ? std::optional<qint64>(n * 1000) : std::nullopt;
    p.client = QStringLiteral("Transmission");
    p.options = QStringLiteral("{\"paused\":false}");
    p.result = result;
    p.failure = result == PushResult::Failed ? QStringLiteral("Website problem") : QString();
    p.origin = origin;
    return p;
}

// What the database said went wrong, for a failure's message.
std::string noticeText(ActivityDatabase& db) {
    const QList<StoreNotice> notices = db.takeNotices();
    return notices.isEmpty() ? std::string() : notices.first().text.toStdString();
}

TEST(ActivityLogTest, SameFiguresAreKeptOnlyEveryTenMinutesWhateverProgramReadThem) {
    test::TempHome home;
    ActivityDatabase app(home.path());
    ActivityDatabase cli(home.path());
    ActivityLog appLog(app);
    ActivityLog cliLog(cli);
    const double inf = std::numeric_limits<double>::infinity();
    // Each row: the sample, which program writes it, and whether it is kept.
    const struct {
        MemberSample s;
        ActivityLog* by;
        bool kept;
    } rows[] = {
        {sample(0, 1.5, 1000), &appLog, true},
        {sample(1, 1.5, 1000), &cliLog, false},  // the other program read the same bar
        {sample(9, 1.5, 1000), &appLog, false},
        {sample(9, 1.5, 1001), &cliLog, true},  // a figure changed: kept at once
        {sample(12, 1.5, 1001), &appLog, false},
        {sample(19, 1.5, 1001), &appLog, true},           // ten minutes after the last kept
        {sample(20, std::nullopt, 1001), &cliLog, true},  // the ratio went missing
        {sample(21, inf, 1001, 0), &appLog, true},
        {sample(22, inf, 1001, 0), &cliLog, false},
    };
    QList<MemberSample> expected;
    for (const auto& row : rows) {
        ASSERT_TRUE(row.by->write({row.s}, {}));
        if (row.kept) {
            expected.append(row.s);
        }
    }
    EXPECT_EQ(appLog.samples(), expected);
    EXPECT_EQ(cliLog.latestSample(), expected.last());
    EXPECT_EQ(appLog.oldestSample(), expected.first());
    EXPECT_EQ(appLog.sampleAtOrBefore(kT0.addSecs(15 * 60)), expected[1]);
    EXPECT_EQ(appLog.samples(kT0.addSecs(20 * 60)), expected.mid(3));

    // A batch keeps the rule within itself too, and the recorder drops repeats before the disk.
    ASSERT_TRUE(appLog.write({sample(40, 2.0, 5), sample(41, 2.0, 5), sample(42, 2.1, 5)}, {}));
    EXPECT_EQ(appLog.sampleCount(), expected.size() + 2);
    ActivityRecorder recorder(app);
    for (int minute = 60; minute < 70; ++minute) {
        recorder.addSample(sample(minute, 3.0, 7));
    }
    EXPECT_EQ(recorder.latestSample(), sample(69, 3.0, 7));
    ASSERT_TRUE(recorder.flush());
    EXPECT_EQ(appLog.sampleCount(), expected.size() + 3);
    EXPECT_TRUE(app.takeNotices().isEmpty());
}

TEST(ActivityLogTest, PushesComeBackNewestFirstWithOutcomeAndOrigin) {
    test::TempHome home;
    ActivityDatabase db(home.path());
    ActivityLog log(db);
    const QList<PushRecord> written = {
        push(1, PushResult::Sent, PushOrigin::App, 0),
        push(2, PushResult::AlreadyOnServer, PushOrigin::CommandLine, 1),
        push(3, PushResult::Failed, PushOrigin::Automatic, 2),
        push(4, PushResult::Sent, PushOrigin::Automatic, 24 * 60),
    };
    {
        ActivityRecorder recorder(db);
        for (const PushRecord& p : written) {
            recorder.addPush(p);
        }
    }  // the recorder writes everything before it goes
    EXPECT_EQ(log.pushes(-1), (QList<PushRecord>{written[3], written[2], written[1], written[0]}));
    EXPECT_EQ(log.pushes(2), (QList<PushRecord>{written[3], written[2]}));
    EXPECT_EQ(log.pushCounts(), (PushCounts{2, 1, 1}));
    EXPECT_EQ(log.pushCounts(kT0.addSecs(60)), (PushCounts{1, 1, 1}));
    const QList<DayPushes> days = log.pushesPerDay();
    ASSERT_EQ(days.size(), 2);
    EXPECT_EQ(days[0].counts, (PushCounts{1, 1, 1}));
    EXPECT_EQ(days[1].counts, (PushCounts{1, 0, 0}));
    EXPECT_EQ(days[0].day.daysTo(days[1].day), 1);

    // The words the command line and the Stats screen show for them.
    PushRecord untitled = written[2];
    untitled.failure.clear();
    const std::pair<PushRecord, QString> shown[] = {
        {written[0], QStringLiteral("sent · app")},
        {written[1], QStringLiteral("already on server · command line")},
        {written[2], QStringLiteral("failed: Website problem · automatic")},
        {untitled, QStringLiteral("failed · automatic")},
    };
    for (const auto& [p, words] : shown) {
        EXPECT_EQ(pushOutcomeText(p) + QStringLiteral(" · ") + pushOriginText(p.origin), words);
    }
}

TEST(ActivityLogTest, StatsGiveTheLatestFiguresAndTheirChangeOverEachSpan) {
    test::TempHome home;
    ActivityDatabase db(home.path());
    ActivityLog log(db);
    constexpr qint64 kDay = 24 * 60;
    ASSERT_TRUE(
        log.write({sample(0, 1.0, 100, 100), sample(5 * kDay, 0.5, 150, 300),
                   sample(8 * kDay, std::nullopt, 180, 400), sample(9 * kDay, 0.75, 300, 400)},
                  {push(1, PushResult::Sent, PushOrigin::App, 9 * kDay)}))
        << noticeText(db);
    StatsQuery query;
    query.days = 2;
    query.now = kT0.addDays(9).addSecs(60);
    const ActivityStats stats = readActivityStats(log, query);
    ASSERT_TRUE(stats.latest.has_value());
    EXPECT_EQ(stats.latest->uploaded, 300);
    ASSERT_EQ(stats.changes.size(), 3);
    // 1 day: from the sample with no ratio, so no ratio change.
    ASSERT_TRUE(stats.changes[0].has_value());
    EXPECT_EQ(stats.changes[0]->ratio, std::nullopt);
    EXPECT_EQ(stats.changes[0]->uploaded, 120);
    // 7 days: from the newest sample at or before day 2, the one of day 0.
    ASSERT_TRUE(stats.changes[1].has_value());
    EXPECT_EQ(stats.changes[1]->ratio, -0.25);
    EXPECT_EQ(stats.changes[1]->downloaded, 300);
    EXPECT_FALSE(stats.changes[2].has_value());  // nothing 30 days old
    EXPECT_EQ(stats.samples.size(), 2);          // the last two days
    EXPECT_EQ(stats.pushCounts, (PushCounts{1, 0, 0}));
}

TEST(ActivityLogTest, AFileOfTheFirstSchemaKeepsItsRecordsAndGainsTheNewTables) {
    test::TempHome home;
    {
        QSqlDatabase old =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
        old.setDatabaseName(home.file(ActivityDatabase::fileName()));
        ASSERT_TRUE(old.open());
        QSqlQuery q(old);
        for (const char* statement :
             {"CREATE TABLE sent_torrents (id INTEGER PRIMARY KEY, info_hash TEXT NOT NULL, "
              "details_path TEXT NOT NULL, name TEXT NOT NULL, sent_at INTEGER NOT NULL)",
              "INSERT INTO sent_torrents (info_hash, details_path, name, sent_at) VALUES "
              "('cccccccccccccccccccccccccccccccccccccccc', '/torrent/9/Old', 'Old', 1)",
              "PRAGMA user_version = 1"}) {
            ASSERT_TRUE(q.exec(QString::fromLatin1(statement))) << statement;
        }
        q.finish();
        old.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("old"));
    ActivityDatabase db(home.path());
    EXPECT_EQ(db.wasSentFrom(QStringLiteral("/torrent/9/Old")), true);
    EXPECT_EQ(db.schemaVersion(), ActivityDatabase::currentSchemaVersion());
    ActivityLog log(db);
    ASSERT_TRUE(log.write({sample(0, 1.0, 1)}, {push(1, PushResult::Sent, PushOrigin::App)}))
        << noticeText(db);
    EXPECT_EQ(log.pushes(-1).size(), 1);
    EXPECT_TRUE(db.takeNotices().isEmpty());
}

TEST(RatioGuardTest, HoldsBelowTheThresholdAndReleasesAtOrAboveIt) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        std::optional<double> warnBelow;
        std::optional<double> ratio;
        bool holds;
    } cases[] = {
        {0.8, 0.79, true}, {0.8, 0.8, false},
        {0.8, 1.2, false}, {0.8, std::nullopt, false},  // no ratio shown: nothing to judge
        {0.8, inf, false}, {std::nullopt, 0.1, false},  // off
        {1.0, 0.0, true},
    };
    for (const auto& c : cases) {
        const std::optional<RatioGuardHold> hold =
            ratioGuardHold(c.warnBelow, sample(0, c.ratio, 1));
        EXPECT_EQ(hold.has_value(), c.holds)
            << c.warnBelow.value_or(-1) << " " << c.ratio.value_or(-1);
    }
    EXPECT_FALSE(ratioGuardHold(0.8, std::nullopt).has_value());  // no sample yet

    test::TempHome home;
    SettingsStore settings(home.path());
    const struct {
        const char* stored;
        std::optional<double> read;
    } stored[] = {{"0.8", 0.8},        {"", std::nullopt},     {"abc", std::nullopt},
                  {"0", std::nullopt}, {"1000", std::nullopt}, {" 1.5 ", 1.5}};
    for (const auto& s : stored) {
        settings.setValue(keys::warnBelowRatio, QString::fromLatin1(s.stored));
        EXPECT_EQ(warnBelowRatio(settings), s.read) << s.stored;
    }

    // Told once a day, in every program: the day is kept in the database.
    ActivityDatabase db(home.path());
    ActivityLog log(db);
    const QDate today(2027, 1, 15);
    EXPECT_FALSE(ratioGuardToldOn(log, today));
    recordRatioGuardTold(log, today);
    ActivityDatabase other(home.path());
    EXPECT_TRUE(ratioGuardToldOn(ActivityLog(other), today));
    EXPECT_FALSE(ratioGuardToldOn(ActivityLog(other), today.addDays(1)));
}

}  // namespace
}  // namespace pelloran

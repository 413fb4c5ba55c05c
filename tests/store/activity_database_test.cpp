// The activity database: nothing on disk until asked, what is recorded outlives the program,
// the file stays private, two programs writing from several threads lose nothing, and a file
// that can't be read is set aside, said once, and started afresh. Also the run lock.

#include "store/activity_database.h"
#include "store/run_lock.h"
#include "support/file_mode.h"
#include "support/temp_home.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QThread>
#include <memory>
#include <vector>

namespace pelloran {
namespace {

SentTorrent sent(int n) {
    return {QByteArray::number(n).rightJustified(40, 'a'),
            QStringLiteral("/torrent/%1/Name").arg(n), QStringLiteral("Name %1").arg(n),
            QDateTime::fromMSecsSinceEpoch(1700000000000 + n, Qt::UTC)};
}

QStringList asideFiles(const test::TempHome& home) {
    return QDir(home.path()).entryList({QStringLiteral("activity.sqlite.unreadable-*")});
}

TEST(ActivityDatabaseTest, RecordsOutliveTheProgramInAPrivateFileMadeOnlyWhenAsked) {
    test::TempHome home;
    const QString file = home.file(QStringLiteral("activity.sqlite"));
    {
        ActivityDatabase db(home.path());
        EXPECT_FALSE(QFile::exists(file));  // commands that never ask pay nothing
        EXPECT_EQ(db.wasSent(sent(1).infoHash), false);
        ASSERT_TRUE(db.recordSent(sent(1)));
        ASSERT_TRUE(db.recordSent(sent(2)));
    }
    ActivityDatabase db(home.path());
    EXPECT_EQ(db.sentTorrents(), (QList<SentTorrent>{sent(1), sent(2)}));
    EXPECT_EQ(db.wasSent(sent(2).infoHash.toUpper()), true);
    EXPECT_EQ(db.wasSent(sent(3).infoHash), false);
    EXPECT_EQ(db.wasSentFrom(sent(1).detailsPath), true);
    EXPECT_EQ(db.wasSentFrom(QStringLiteral("/torrent/1/Other")), false);
    EXPECT_EQ(db.schemaVersion(), ActivityDatabase::currentSchemaVersion());
    EXPECT_EQ(test::fileMode(file), 0600);
    EXPECT_TRUE(db.takeNotices().isEmpty());
}

TEST(ActivityDatabaseTest, TwoProgramsWritingFromSeveralThreadsLoseNothing) {
    test::TempHome home;
    ActivityDatabase app(home.path());
    ActivityDatabase cli(home.path());
    constexpr int kThreads = 4;
    constexpr int kEach = 25;
    // Two rounds: the threads of the second often get the system ids of the first, which ended.
    for (int round = 0; round < 2; ++round) {
        std::vector<std::unique_ptr<QThread>> threads;
        for (int t = 0; t < kThreads; ++t) {
            ActivityDatabase& db = t % 2 == 0 ? app : cli;
            const int first = (round * kThreads + t) * kEach;
            threads.emplace_back(QThread::create([&db, first] {
                for (int i = 0; i < kEach; ++i) {
                    EXPECT_TRUE(db.recordSent(sent(first + i)));
                }
            }));
            threads.back()->start();
        }
        for (auto& thread : threads) {
            thread->wait();
        }
    }
    EXPECT_EQ(ActivityDatabase(home.path()).sentTorrents().size(), 2 * kThreads * kEach);
    EXPECT_TRUE(app.takeNotices().isEmpty());
    EXPECT_TRUE(cli.takeNotices().isEmpty());
}

TEST(ActivityDatabaseTest, AFileThatCantBeReadIsSetAsideOnceAndStartedAfresh) {
    const struct {
        const char* label;
        std::function<void(const QString& file)> spoil;
    } cases[] = {
        {"not a database",
         [](const QString& file) {
             QFile f(file);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write(QByteArray(4096, 'x'));
         }},
        {"cut short",
         [](const QString& file) {
             {
                 ActivityDatabase db(QFileInfo(file).path());
                 for (int i = 0; i < 200; ++i) {
                     ASSERT_TRUE(db.recordSent(sent(i)));
                 }
             }
             QFile f(file);
             ASSERT_TRUE(f.open(QIODevice::ReadWrite));
             ASSERT_TRUE(f.resize(f.size() / 2 + 100));
         }},
        {"a folder", [](const QString& file) { ASSERT_TRUE(QDir().mkpath(file)); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        test::TempHome home;
        const QString file = home.file(QStringLiteral("activity.sqlite"));
        ASSERT_NO_FATAL_FAILURE(c.spoil(file));
        ActivityDatabase db(home.path());
        EXPECT_EQ(db.wasSentFrom(sent(1).detailsPath), false);
        ASSERT_TRUE(db.recordSent(sent(1)));
        EXPECT_EQ(db.sentTorrents(), QList<SentTorrent>{sent(1)});
        const QList<StoreNotice> notices = db.takeNotices();
        ASSERT_EQ(notices.size(), 1);
        EXPECT_EQ(notices[0].kind, StoreNotice::Kind::SetAside);
        EXPECT_EQ(asideFiles(home), QStringList{QFileInfo(notices[0].asidePath).fileName()});
        EXPECT_TRUE(notices[0].text.contains(notices[0].asidePath));
        EXPECT_TRUE(db.takeNotices().isEmpty());  // said once
    }
}

TEST(RunLockTest, OneRunAtATimeAndTheNextAfterIt) {
    test::TempHome home;
    RunLock::Attempt first = RunLock::tryTake(home.path(), QStringLiteral("job.lock"));
    ASSERT_EQ(first.status, RunLock::Status::Taken);
    EXPECT_EQ(RunLock::tryTake(home.path(), QStringLiteral("job.lock")).status,
              RunLock::Status::HeldElsewhere);
    EXPECT_EQ(RunLock::tryTake(home.path(), QStringLiteral("other.lock")).status,
              RunLock::Status::Taken);
    first.lock.reset();
    EXPECT_EQ(RunLock::tryTake(home.path(), QStringLiteral("job.lock")).status,
              RunLock::Status::Taken);
    EXPECT_EQ(test::fileMode(home.file(QStringLiteral("job.lock"))), 0600);
}

}  // namespace
}  // namespace pelloran

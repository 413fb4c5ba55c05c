// Several processes on one settings or cookies file at once: nothing any of them wrote is lost,
// and a lock left behind by a killed process doesn't stand in the way.

#include "net/cookie_store.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "support/temp_home.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QRegularExpression>
#include <memory>
#include <vector>

namespace pelloran {
namespace {

// Starts every helper, lets each open its store, then lets them all go at once; returns their
// exit codes.
std::vector<int> runTogether(const std::vector<QStringList>& argumentLists) {
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const QStringList& args : argumentLists) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QStringLiteral(STORE_HELPER_PATH), args);
        EXPECT_TRUE(p->waitForStarted(10000));
        processes.push_back(std::move(p));
    }
    for (auto& p : processes) {
        while (!p->canReadLine() && p->waitForReadyRead(30000)) {
        }
        EXPECT_EQ(p->readLine().trimmed(), QByteArray("ready"));
    }
    for (auto& p : processes) {
        p->write("go\n");
        p->closeWriteChannel();
    }
    std::vector<int> codes;
    for (auto& p : processes) {
        EXPECT_TRUE(p->waitForFinished(120000));
        codes.push_back(p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1);
    }
    return codes;
}

QStringList numbered(const QString& prefix, int count) {
    QStringList names;
    for (int i = 1; i <= count; ++i) {
        names.append(prefix + QLatin1Char('-') + QString::number(i));
    }
    return names;
}

TEST(CrossProcessStoreTest, TwoProcessesPushingAtOnceKeepEveryHistoryEntry) {
    test::TempHome home;
    // 2 x 25 fills the history exactly: every entry must be there, each process's in its order.
    const std::vector<int> codes = runTogether(
        {{QStringLiteral("history"), home.path(), QStringLiteral("A"), QStringLiteral("25")},
         {QStringLiteral("history"), home.path(), QStringLiteral("B"), QStringLiteral("25")}});
    EXPECT_EQ(codes, (std::vector<int>{0, 0}));
    const QStringList history =
        SettingsStore(home.path()).stringList(keys::torrentHistory).value_or(QStringList());
    ASSERT_EQ(history.size(), 50);
    for (const QString& prefix : {QStringLiteral("A"), QStringLiteral("B")}) {
        QStringList own =
            history.filter(QRegularExpression(QLatin1Char('^') + prefix + QLatin1Char('-')));
        EXPECT_EQ(own, numbered(prefix, 25));
    }
}

TEST(CrossProcessStoreTest, CookiesSavedByManyProcessesAtOnceAreAllKept) {
    test::TempHome home;
    const QString file = home.file(QStringLiteral("cookies.txt"));
    std::vector<QStringList> runs;
    QStringList expected;
    for (const QString& prefix :
         {QStringLiteral("p"), QStringLiteral("q"), QStringLiteral("r"), QStringLiteral("s")}) {
        runs.push_back({QStringLiteral("cookies"), file, prefix, QStringLiteral("10")});
        expected += numbered(prefix, 10);
    }
    EXPECT_EQ(runTogether(runs), (std::vector<int>(4, 0)));
    QStringList names;
    for (const Cookie& c : CookieStore(file).cookies()) {
        names.append(c.name);
    }
    names.sort();
    expected.sort();
    EXPECT_EQ(names, expected);
}

// Starts a process that takes the lock file and keeps it until it is killed.
void startHolder(QProcess& holder, const QString& lockFile) {
    holder.start(QStringLiteral(STORE_HELPER_PATH), {QStringLiteral("hold-lock"), lockFile});
    ASSERT_TRUE(holder.waitForStarted(10000));
    holder.write("go\n");
    while (!holder.canReadLine() && holder.waitForReadyRead(10000)) {
    }
    ASSERT_EQ(holder.readLine().trimmed(), QByteArray("ready"));
    while (!holder.canReadLine() && holder.waitForReadyRead(10000)) {
    }
    ASSERT_EQ(holder.readLine().trimmed(), QByteArray("locked"));
}

TEST(CrossProcessStoreTest, LockOfALiveProcessHoldsAndOfAKilledOneDoesNot) {
    test::TempHome home;
    QProcess holder;
    ASSERT_NO_FATAL_FAILURE(startHolder(holder, home.file(QStringLiteral("settings.json.lock"))));

    {
        // A live holder: the write waits, then gives up with a notice and keeps the change.
        SettingsStore store(home.path(),
                            LockTiming{std::chrono::minutes(10), std::chrono::milliseconds(200)});
        store.setValue(keys::username, QStringLiteral("waiting"));
        EXPECT_FALSE(store.flush());
        EXPECT_TRUE(store.hasUnsavedChanges());
        const QList<StoreNotice> notices = store.takeNotices();
        ASSERT_EQ(notices.size(), 1);
        EXPECT_EQ(notices[0].kind, StoreNotice::Kind::NotSaved);
        EXPECT_TRUE(notices[0].text.contains(QStringLiteral("settings.json.lock")));
    }

    holder.kill();  // SIGKILL: the lock file stays behind
    ASSERT_TRUE(holder.waitForFinished(10000));
    ASSERT_TRUE(QFile::exists(home.file(QStringLiteral("settings.json.lock"))));

    // Its process is gone, so the lock is taken over long before it would count as old.
    SettingsStore store(home.path(), LockTiming{std::chrono::minutes(10), std::chrono::seconds(5)});
    store.setValue(keys::username, QStringLiteral("after"));
    EXPECT_TRUE(store.flush());
    EXPECT_EQ(SettingsStore(home.path()).string(keys::username), QStringLiteral("after"));
}

TEST(CrossProcessStoreTest, ALockHeldFarLongerThanAnyWriteIsTakenOver) {
    // A hung holder: alive, but keeping the lock past the stale time.
    test::TempHome home;
    QProcess holder;
    ASSERT_NO_FATAL_FAILURE(startHolder(holder, home.file(QStringLiteral("settings.json.lock"))));
    SettingsStore store(home.path(), LockTiming{std::chrono::seconds(1), std::chrono::seconds(20)});
    store.setValue(keys::username, QStringLiteral("after a hung holder"));
    EXPECT_TRUE(store.flush());
    EXPECT_EQ(SettingsStore(home.path()).string(keys::username),
              QStringLiteral("after a hung holder"));
    holder.kill();
    holder.waitForFinished(10000);
}

}  // namespace
}  // namespace pelloran

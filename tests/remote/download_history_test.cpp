// The download history: cap, duplicates, deleting by row as the history tab shows it, and
// durability of every change.

#include "remote/download_history.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "support/temp_home.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>

#include <latch>
#include <thread>
#include <vector>

namespace pelloran {
namespace {

QStringList stored(const test::TempHome& home) {
    return SettingsStore(home.path()).stringList(keys::torrentHistory).value_or(QStringList());
}

TEST(DownloadHistory, AppendKeepsOrderAndDuplicatesAndCapsAtFifty) {
    test::TempHome home;
    SettingsStore store(home.path());
    DownloadHistory history(store);
    EXPECT_TRUE(history.entries().isEmpty());

    history.append(QStringLiteral("A"));
    history.append(QStringLiteral("A"));
    EXPECT_EQ(stored(home), (QStringList{QStringLiteral("A"), QStringLiteral("A")}));

    QStringList expected{QStringLiteral("A"), QStringLiteral("A")};
    for (int i = 3; i <= 50; ++i) {
        history.append(QString::number(i));
        expected.append(QString::number(i));
    }
    EXPECT_EQ(history.entries(), expected);
    history.append(QStringLiteral("51st"));  // the oldest goes, once
    expected.removeFirst();
    expected.append(QStringLiteral("51st"));
    EXPECT_EQ(stored(home), expected);
    EXPECT_EQ(expected.size(), 50);
}

TEST(DownloadHistory, AppendIfMissingListsANameOnceAndStillCaps) {
    test::TempHome home;
    SettingsStore store(home.path());
    QStringList full;
    for (int i = 0; i < 50; ++i) {
        full.append(QString::number(i));
    }
    store.setValue(keys::torrentHistory, full);
    DownloadHistory history(store);
    EXPECT_FALSE(history.appendIfMissing(QStringLiteral("7")));
    EXPECT_EQ(stored(home), full);
    EXPECT_TRUE(history.appendIfMissing(QStringLiteral("new")));
    full.removeFirst();
    full.append(QStringLiteral("new"));
    EXPECT_EQ(stored(home), full);
}

TEST(DownloadHistory, RemoveRowCountsNewestFirst) {
    test::TempHome home;
    SettingsStore store(home.path());
    store.setValue(keys::torrentHistory, QStringList{QStringLiteral("X"), QStringLiteral("Y"),
                                                     QStringLiteral("Z"), QStringLiteral("Y")});
    DownloadHistory history(store);

    EXPECT_EQ(history.removeRow(0), std::optional<QString>(QStringLiteral("Y")));  // newest
    EXPECT_EQ(stored(home),
              (QStringList{QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z")}));
    EXPECT_EQ(history.removeRow(2), std::optional<QString>(QStringLiteral("X")));  // oldest
    for (int row : {-1, 2, 99}) {
        EXPECT_EQ(history.removeRow(row), std::nullopt) << row;
    }
    EXPECT_EQ(stored(home), (QStringList{QStringLiteral("Y"), QStringLiteral("Z")}));
}

TEST(DownloadHistory, RemoveRowUsesTheRowsTheTabShows) {
    // The tab shows X, Y (rows Y, X); a push of Z lands before the member deletes row 0.
    test::TempHome home;
    SettingsStore store(home.path());
    DownloadHistory history(store);
    history.append(QStringLiteral("X"));
    history.append(QStringLiteral("Y"));
    const qsizetype shown = history.entries().size();
    history.append(QStringLiteral("Z"));
    EXPECT_EQ(history.removeRow(0, shown), std::optional<QString>(QStringLiteral("Y")));
    EXPECT_EQ(stored(home), (QStringList{QStringLiteral("X"), QStringLiteral("Z")}));
}

TEST(DownloadHistory, ConcurrentAppendsLoseNothing) {
    // Screens share one store, each with its own history object. 48 entries stay under the
    // cap, so every one must be there; a few rounds give a lost update many chances to show.
    test::TempHome home;
    SettingsStore store(home.path());
    constexpr int kThreads = 8;
    constexpr int kEach = 6;
    constexpr int kRounds = 5;
    for (int round = 0; round < kRounds; ++round) {
        store.setValue(keys::torrentHistory, QStringList());
        std::latch go(kThreads);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&store, &go, t] {
                DownloadHistory history(store);
                go.arrive_and_wait();
                for (int i = 0; i < kEach; ++i) {
                    history.append(QStringLiteral("%1-%2").arg(t).arg(i));
                }
            });
        }
        for (std::thread& th : threads) {
            th.join();
        }
        QStringList got = DownloadHistory(store).entries();
        got.removeDuplicates();
        ASSERT_EQ(got.size(), kThreads * kEach) << "round " << round;
    }
}

}  // namespace
}  // namespace pelloran

// The settings store: types and absence survive a restart, the file stays private and whole,
// concurrent writers lose nothing, and a broken file never fails start-up.

#include "store/settings_store.h"
#include "store/settings_keys.h"
#include "support/file_mode.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <atomic>
#include <thread>

namespace pelloran {
namespace {

TEST(SettingsStoreTest, KeepsTypesAbsenceAndEmptinessAcrossRestart) {
    test::TempHome home;
    {
        SettingsStore store(home.path());
        store.setValue(keys::username, QStringLiteral("m\u00e9mber"));
        store.setValue(keys::password, QString(""));
        store.setValue(keys::tab, qint64(7));
        store.setValue(keys::filters, QStringList{QStringLiteral("x264"), QString()});
        store.setValue(keys::torrentHistory, QStringList{});
        ASSERT_TRUE(store.flush());
    }
    SettingsStore store(home.path());
    EXPECT_EQ(store.string(keys::username), QStringLiteral("m\u00e9mber"));
    ASSERT_TRUE(store.string(keys::password).has_value());  // present and empty
    EXPECT_TRUE(store.string(keys::password)->isEmpty());
    EXPECT_FALSE(store.string(keys::automaticLogin).has_value());  // never written: absent
    EXPECT_EQ(store.integer(keys::tab), 7);
    EXPECT_FALSE(store.string(keys::tab).has_value());  // an integer is not a string
    EXPECT_EQ(store.stringList(keys::filters), (QStringList{QStringLiteral("x264"), QString()}));
    ASSERT_TRUE(store.stringList(keys::torrentHistory).has_value());
    EXPECT_TRUE(store.stringList(keys::torrentHistory)->isEmpty());
    EXPECT_EQ(test::fileMode(store.filePath()), 0600);
}

TEST(SettingsStoreTest, BrokenFileIsMovedAsideAndReadsEmpty) {
    const QByteArray cases[] = {
        "{ not json",
        "[\"an\", \"array\"]",
        QByteArray("\x00\xFF\xFE", 3),
        "",
    };
    for (const QByteArray& content : cases) {
        test::TempHome home;
        QFile f(QDir(home.path()).filePath(QStringLiteral("settings.json")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        SettingsStore store(home.path());
        EXPECT_FALSE(store.value(keys::username).has_value());
        EXPECT_FALSE(store.movedAsidePath().isEmpty());
        EXPECT_TRUE(QFile::exists(store.movedAsidePath()));
        store.setValue(keys::username, QStringLiteral("fresh"));
        EXPECT_TRUE(store.flush());
        EXPECT_EQ(SettingsStore(home.path()).string(keys::username), QStringLiteral("fresh"));
    }
}

TEST(SettingsStoreTest, ValuesOfUnknownShapeAreIgnoredOthersKept) {
    test::TempHome home;
    QFile f(QDir(home.path()).filePath(QStringLiteral("settings.json")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"({"Pelloran_username":"kept","Pelloran_tab":1.5,"Pelloran_filters":["a",2],
               "Pelloran_orderBy":{"nested":true},"Pelloran_favoritesCount":1e300,
               "Pelloran_serverPort":-9223372036854775809e3,"Pelloran_version":-4611686018427387904})");
    f.close();
    SettingsStore store(home.path());
    EXPECT_EQ(store.string(keys::username), QStringLiteral("kept"));
    EXPECT_FALSE(store.value(keys::tab).has_value());
    EXPECT_FALSE(store.value(keys::filters).has_value());
    EXPECT_FALSE(store.value(keys::orderBy).has_value());
    // Numbers beyond the integer range are no integers (converting them would be undefined).
    EXPECT_FALSE(store.value(keys::favoritesCount).has_value());
    EXPECT_FALSE(store.value(keys::serverPort).has_value());
    EXPECT_EQ(store.integer(keys::version), Q_INT64_C(-4611686018427387904));
    EXPECT_TRUE(store.movedAsidePath().isEmpty());
}

TEST(SettingsStoreTest, ConcurrentAppendsAndFlushesLoseNothingAndFileIsAlwaysWhole) {
    test::TempHome home;
    SettingsStore store(home.path());
    store.setValue(keys::username, QStringLiteral("seed"));
    ASSERT_TRUE(store.flush());

    std::atomic<bool> done{false};
    std::atomic<int> brokenReads{0};
    // A reader that keeps parsing the file while writers flush: it must never see a torn file.
    std::thread reader([&] {
        while (!done.load()) {
            QFile f(store.filePath());
            if (f.open(QIODevice::ReadOnly)) {
                if (!QJsonDocument::fromJson(f.readAll()).isObject()) {
                    ++brokenReads;
                }
            }
        }
    });
    constexpr int kThreads = 4;
    constexpr int kPerThread = 50;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&store, t] {
            for (int i = 0; i < kPerThread; ++i) {
                store.updateStringList(keys::torrentHistory, [&](QStringList& list) {
                    list.append(QStringLiteral("t%1-%2").arg(t).arg(i));
                });
                store.flush();
            }
        });
    }
    for (auto& w : writers) {
        w.join();
    }
    done = true;
    reader.join();
    EXPECT_EQ(brokenReads.load(), 0);
    EXPECT_EQ(store.stringList(keys::torrentHistory)->size(), kThreads * kPerThread);
    EXPECT_EQ(SettingsStore(home.path()).stringList(keys::torrentHistory)->size(),
              kThreads * kPerThread);
    // No temporary files are left behind.
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("settings.json")});
}

}  // namespace
}  // namespace pelloran

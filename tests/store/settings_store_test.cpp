// The settings store: types and absence survive a restart, the file stays private and whole,
// concurrent writers lose nothing, and a broken file never fails start-up.

#include "store/settings_store.h"
#include "net/cookie_store.h"
#include "store/settings_keys.h"
#include "support/file_mode.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
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

// What can't be read is kept as it was, under a name of its own, and said once.
TEST(SettingsStoreTest, UnreadableFilesAreKeptAsideAndToldOnce) {
    enum class Make { Garbage, Oversized, Folder };
    for (const Make make : {Make::Garbage, Make::Oversized, Make::Folder}) {
        test::TempHome home;
        const QString path = home.file(QStringLiteral("settings.json"));
        QFile f(path);
        if (make == Make::Folder) {
            ASSERT_TRUE(QDir().mkdir(path));
        } else {
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("{\"Pelloran_username\": \"half");
            if (make == Make::Oversized) {
                ASSERT_TRUE(f.resize(17 * 1024 * 1024));  // sparse: cheap to make
            }
            f.close();
        }
        const qint64 size = QFileInfo(path).size();

        SettingsStore store(home.path());
        const QList<StoreNotice> notices = store.takeNotices();
        ASSERT_EQ(notices.size(), 1) << int(make);
        EXPECT_EQ(notices[0].kind, StoreNotice::Kind::SetAside);
        EXPECT_EQ(notices[0].asidePath, store.movedAsidePath());
        EXPECT_TRUE(notices[0].text.contains(path));
        EXPECT_TRUE(notices[0].text.contains(notices[0].asidePath));
        const QFileInfo aside(store.movedAsidePath());
        EXPECT_EQ(aside.isDir(), make == Make::Folder);
        if (make != Make::Folder) {
            EXPECT_EQ(aside.size(), size);
        }

        store.setValue(keys::username, QStringLiteral("fresh"));
        EXPECT_TRUE(store.flush());
        EXPECT_TRUE(store.takeNotices().isEmpty());  // said once
        EXPECT_TRUE(QFileInfo::exists(store.movedAsidePath()));
    }

    // A second broken file in the same second never replaces the first one set aside.
    test::TempHome home;
    QStringList asides;
    for (const QByteArray& content : {QByteArray("first {"), QByteArray("second {")}) {
        QFile f(home.file(QStringLiteral("settings.json")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        asides.append(SettingsStore(home.path()).movedAsidePath());
    }
    ASSERT_NE(asides[0], asides[1]);
    for (int i = 0; i < 2; ++i) {
        QFile f(asides[i]);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), i == 0 ? QByteArray("first {") : QByteArray("second {"));
    }
}

TEST(SettingsStoreTest, FileBrokenWhileRunningIsSetAsideAndWhatWasReadIsKept) {
    test::TempHome home;
    SettingsStore store(home.path());
    store.setValue(keys::username, QStringLiteral("demo"));
    store.setValue(keys::filters, QStringList{QStringLiteral("x264")});
    ASSERT_TRUE(store.flush());
    QFile other(store.filePath());  // another program writes over it in place
    ASSERT_TRUE(other.open(QIODevice::WriteOnly | QIODevice::Truncate));
    other.write("garbage");
    other.close();

    store.setValue(keys::tab, qint64(3));
    ASSERT_TRUE(store.flush());
    const QList<StoreNotice> notices = store.takeNotices();
    ASSERT_EQ(notices.size(), 1);
    QFile aside(notices[0].asidePath);
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), QByteArray("garbage"));
    SettingsStore reread(home.path());
    EXPECT_EQ(reread.string(keys::username), QStringLiteral("demo"));
    EXPECT_EQ(reread.stringList(keys::filters), QStringList{QStringLiteral("x264")});
    EXPECT_EQ(reread.integer(keys::tab), 3);
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

    // Writing other keys leaves them in the file as they were (a newer version may own them).
    store.setValue(keys::sortBy, QStringLiteral("asc"));
    ASSERT_TRUE(store.flush());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QJsonObject written = QJsonDocument::fromJson(f.readAll()).object();
    EXPECT_EQ(written.value(QStringLiteral("Pelloran_tab")).toDouble(), 1.5);
    EXPECT_EQ(written.value(QStringLiteral("Pelloran_orderBy"))
                  .toObject()
                  .value(QStringLiteral("nested")),
              QJsonValue(true));
    EXPECT_EQ(written.value(QStringLiteral("Pelloran_sortBy")).toString(), QStringLiteral("asc"));
}

// Two stores on one file stand for two processes (the app and a pelloran-cli run).
TEST(SettingsStoreTest, TwoStoresOnOneFileKeepEachOthersChanges) {
    test::TempHome home;
    SettingsStore a(home.path());
    SettingsStore b(home.path());

    a.setValue(keys::username, QStringLiteral("from a"));
    a.setValue(keys::sortBy, QStringLiteral("asc"));
    ASSERT_TRUE(a.flush());
    b.setValue(keys::username, QStringLiteral("from b"));
    b.setValue(keys::tab, qint64(2));
    ASSERT_TRUE(b.flush());
    // Last writer wins for the key both set; a's other key survives b's write.
    SettingsStore file(home.path());
    EXPECT_EQ(file.string(keys::username), QStringLiteral("from b"));
    EXPECT_EQ(file.string(keys::sortBy), QStringLiteral("asc"));
    EXPECT_EQ(file.integer(keys::tab), 2);
    EXPECT_EQ(b.string(keys::sortBy), QStringLiteral("asc"));  // b read it while writing

    // Reads come from memory until a refresh brings the other store's writes.
    EXPECT_FALSE(a.integer(keys::tab).has_value());
    EXPECT_TRUE(a.refresh());
    EXPECT_FALSE(a.refresh());  // nothing new since
    EXPECT_EQ(a.integer(keys::tab), 2);
    EXPECT_EQ(a.string(keys::username), QStringLiteral("from b"));

    // Lists: each change runs on the file's current list, whatever the store last saw.
    const auto append = [](const QString& item) {
        return [item](QStringList& list) { list.append(item); };
    };
    a.updateStringList(keys::filters, append(QStringLiteral("x")));
    b.updateStringList(keys::filters, append(QStringLiteral("y")));
    a.updateStringList(keys::filters, append(QStringLiteral("z")));
    b.updateStringList(keys::torrentHistory, [](QStringList& list) { list.clear(); });
    EXPECT_EQ(SettingsStore(home.path()).stringList(keys::filters),
              (QStringList{QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")}));

    // A change not flushed yet stays over what a refresh brings, and is written later.
    a.setValue(keys::orderBy, QStringLiteral("orderby/size"));
    b.setValue(keys::orderBy, QStringLiteral("orderby/seeders"));
    b.setValue(keys::searchSortBy, QStringLiteral("desc"));
    ASSERT_TRUE(b.flush());
    EXPECT_TRUE(a.refresh());
    EXPECT_EQ(a.string(keys::orderBy), QStringLiteral("orderby/size"));
    EXPECT_EQ(a.string(keys::searchSortBy), QStringLiteral("desc"));
    ASSERT_TRUE(a.flush());
    EXPECT_EQ(SettingsStore(home.path()).string(keys::orderBy), QStringLiteral("orderby/size"));
}

TEST(SettingsStoreTest, WriteFailureIsToldOnceAndTheChangeKept) {
    test::TempHome home;
    QFile plain(home.file(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    // The settings folder would have to be inside a regular file: it can't be created.
    SettingsStore store(home.file(QStringLiteral("plain/pelloran")));
    store.setValue(keys::username, QStringLiteral("kept"));
    EXPECT_FALSE(store.flush());
    store.updateStringList(keys::filters,
                           [](QStringList& list) { list.append(QStringLiteral("k")); });
    EXPECT_FALSE(store.flush());
    const QList<StoreNotice> notices = store.takeNotices();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices[0].kind, StoreNotice::Kind::NotSaved);
    EXPECT_TRUE(notices[0].text.contains(store.filePath()));
    EXPECT_TRUE(store.hasUnsavedChanges());
    EXPECT_EQ(store.string(keys::username), QStringLiteral("kept"));
    EXPECT_EQ(store.stringList(keys::filters), QStringList{QStringLiteral("k")});
}

// The member's own folder keeps its mode; only a folder the stores create is made private.
TEST(SettingsStoreTest, HomeFolderModeIsKeptAndFilesArePrivate) {
    struct Case {
        const char* sub;
        int mode;  // 0: the folder doesn't exist yet
        int expected;
    };
    for (const Case& c :
         {Case{"shared", 01777, 01777}, Case{"open", 0755, 0755}, Case{"new/pelloran", 0, 0700}}) {
        test::TempHome root;
        const QString dir = root.file(QString::fromLatin1(c.sub));
        if (c.mode != 0) {
            ASSERT_TRUE(QDir().mkpath(dir));
            ASSERT_EQ(::chmod(QFile::encodeName(dir).constData(), static_cast<mode_t>(c.mode)), 0);
        }
        SettingsStore settings(dir);
        settings.setValue(keys::username, QStringLiteral("demo"));
        ASSERT_TRUE(settings.flush());
        settings.updateStringList(keys::filters,
                                  [](QStringList& l) { l.append(QStringLiteral("f")); });
        CookieStore cookies(QDir(dir).filePath(QStringLiteral("cookies.txt")));
        Cookie sid;
        sid.domain = QStringLiteral("127.0.0.1");
        sid.name = QStringLiteral("sid");
        sid.value = QStringLiteral("s");
        cookies.setCookie(sid);
        ASSERT_TRUE(cookies.save());
        EXPECT_EQ(test::fileMode(dir, 07777), c.expected) << c.sub;
        EXPECT_EQ(test::fileMode(settings.filePath()), 0600) << c.sub;
        EXPECT_EQ(test::fileMode(cookies.filePath()), 0600) << c.sub;
    }
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
    // No temporary files are left behind; the lock file stays, for the next writer.
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("settings.json"), QStringLiteral("settings.json.lock")}));
}

}  // namespace
}  // namespace pelloran

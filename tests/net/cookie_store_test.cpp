// The shared cookie store: what survives a restart, exact-domain deletion, and hostile files.

#include "net/cookie_store.h"
#include "support/file_mode.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pelloran {
namespace {

Cookie makeCookie(const QString& domain, const QString& name, const QString& value,
                  qint64 expires = 0) {
    Cookie c;
    c.domain = domain;
    c.includeSubdomains = domain.startsWith(QLatin1Char('.'));
    c.name = name;
    c.value = value;
    c.expires = expires;
    return c;
}

QStringList names(const QList<Cookie>& cookies) {
    QStringList list;
    for (const Cookie& c : cookies) {
        list.append(c.domain + QLatin1Char('/') + c.name + QLatin1Char('=') + c.value);
    }
    list.sort();
    return list;
}

TEST(CookieStoreTest, SurvivesRestartWithPrivateFile) {
    test::TempHome home;
    const QString path = home.file(QStringLiteral("cookies.txt"));
    {
        CookieStore store(path);
        store.setCookie(makeCookie(QStringLiteral("127.0.0.1"), QStringLiteral("sid"),
                                   QStringLiteral("s1")));  // session cookie
        store.setCookie(makeCookie(QStringLiteral(".example.org"), QStringLiteral("qauid"),
                                   QStringLiteral("31337"), 4102444800));
        store.setCookie(makeCookie(QStringLiteral("old.example"), QStringLiteral("gone"),
                                   QStringLiteral("x"), 1000));  // long expired
        ASSERT_TRUE(store.save());
    }
    EXPECT_EQ(test::fileMode(path), 0600);
    CookieStore reloaded(path);
    EXPECT_EQ(names(reloaded.cookies()), (QStringList{QStringLiteral(".example.org/qauid=31337"),
                                                      QStringLiteral("127.0.0.1/sid=s1")}));
}

// A cookie whose value is "" is saved with an empty last field. Lines curl would read as
// another cookie than the one written are skipped: one holding a NUL (curl stops there), one
// without a host (saved with an empty first field, which curl's reader passes over), one whose
// domain starts with two dots (curl drops one at every load).
TEST(CookieStoreTest, EmptyValueSurvivesRestartAndLinesCurlWouldMisreadAreSkipped) {
    test::TempHome home;
    const QString path = home.file(QStringLiteral("cookies.txt"));
    {
        CookieStore store(path);
        store.setCookie(
            makeCookie(QStringLiteral("127.0.0.1"), QStringLiteral("cleared"), QString()));
        store.setCookie(
            makeCookie(QStringLiteral("127.0.0.1"), QStringLiteral("sid"), QStringLiteral("s1")));
        ASSERT_TRUE(store.save());
    }
    CookieStore reloaded(path);
    EXPECT_EQ(names(reloaded.cookies()), (QStringList{QStringLiteral("127.0.0.1/cleared="),
                                                      QStringLiteral("127.0.0.1/sid=s1")}));

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QByteArray("127.0.0.1\tFALSE\t/\tFALSE\t0\tname") + '\0' +
            "cut\tvalue\r\n"
            // No host: curl keeps it with an empty domain, which it can't read back.
            ".\tFALSE\t/p/\tFALSE\t0\tnohost\tv\n"
            "..127.0.0.1\tFALSE\t/\tFALSE\t0\ttwodots\tv\n"
            "127.0.0.1\tFALSE\t/\tFALSE\t0\tcrlf\tv\r\n");
    f.close();
    CookieStore misread(path);
    EXPECT_EQ(names(misread.cookies()), QStringList{QStringLiteral("127.0.0.1/crlf=v")});
}

// libcurl takes a cookie whose domain, path and name differ only in letter case for the same
// cookie. A file can still hold two it keeps apart (one written host-only with a leading dot and
// no path) that a save writes as one: the store lists them once, as the save writes them, and
// another store loads exactly that.
TEST(CookieStoreTest, ACookieWrittenTwiceInOtherCaseIsOneCookie) {
    test::TempHome home;
    const QString path = home.file(QStringLiteral("cookies.txt"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        ".host\tFALSE\t\tFALSE\t0\tuDId\t\n"  // no path: "/"
        "host\tFALSE\t/\tFALSE\t0\tuDid\tE\n"
        ".Other.Host\tFALSE\t\tFALSE\t0\tsid\t1\n"
        "other.host\tFALSE\t/\tFALSE\t0\tSID\t2\n");
    f.close();
    CookieStore store(path);
    const QList<Cookie> listed = store.cookies();
    ASSERT_EQ(listed.size(), 2);

    const QString copy = home.file(QStringLiteral("copy.txt"));
    {
        CookieStore writer(copy);
        for (const Cookie& c : listed) {
            writer.setCookie(c);
        }
        ASSERT_TRUE(writer.save());
    }
    EXPECT_EQ(names(CookieStore(copy).cookies()), names(listed));
}

TEST(CookieStoreTest, DeletesOnlyTheExactDomain) {
    CookieStore store;
    store.setCookie(
        makeCookie(QStringLiteral("127.0.0.1"), QStringLiteral("a"), QStringLiteral("1")));
    store.setCookie(
        makeCookie(QStringLiteral(".127.0.0.1"), QStringLiteral("b"), QStringLiteral("2")));
    store.setCookie(
        makeCookie(QStringLiteral("127.0.0.2"), QStringLiteral("c"), QStringLiteral("3")));
    store.setCookie(
        makeCookie(QStringLiteral("127.0.0.1"), QStringLiteral("d"), QStringLiteral("4")));
    EXPECT_EQ(store.deleteCookiesWithDomain(QStringLiteral("127.0.0.1")), 2);
    EXPECT_EQ(names(store.cookies()),
              (QStringList{QStringLiteral(".127.0.0.1/b=2"), QStringLiteral("127.0.0.2/c=3")}));
    EXPECT_EQ(store.deleteCookiesWithDomain(QStringLiteral("nowhere")), 0);
}

TEST(CookieStoreTest, BrokenFilesNeverFailStartUp) {
    test::TempHome home;
    const QString path = home.file(QStringLiteral("cookies.txt"));
    const QByteArray cases[] = {
        QByteArray("\x00\x01\x02 garbage \xFF\xFE", 16),
        QByteArray(200000, 'x'),
        QByteArray("127.0.0.1\tFALSE\t/\tFALSE\t0\tok\tkept\n"
                   "only\tthree\tfields\n"
                   "\t\t\t\t\t\t\n"
                   "#HttpOnly_127.0.0.1\tFALSE\t/\tFALSE\tnotanumber\th\tv\n"),
    };
    for (const QByteArray& content : cases) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        CookieStore store(path);
        for (const Cookie& c : store.cookies()) {
            EXPECT_FALSE(c.name.isEmpty());
        }
    }
    CookieStore last(path);
    bool kept = false;
    for (const Cookie& c : last.cookies()) {
        kept |= c.name == QStringLiteral("ok") && c.value == QStringLiteral("kept");
    }
    EXPECT_TRUE(kept);
}

// Two stores on one file stand for two processes (the app and a pelloran-cli run).
TEST(CookieStoreTest, SavesMergeWithWhatAnotherStoreSavedMeanwhile) {
    test::TempHome home;
    const QString path = home.file(QStringLiteral("cookies.txt"));
    const QString site = QStringLiteral("127.0.0.1");
    {
        CookieStore seed(path);
        seed.setCookie(makeCookie(site, QStringLiteral("sid"), QStringLiteral("old")));
        seed.setCookie(makeCookie(site, QStringLiteral("qauid"), QStringLiteral("31337")));
        seed.setCookie(
            makeCookie(QStringLiteral(".forum.example"), QStringLiteral("f"), QStringLiteral("1")));
        ASSERT_TRUE(seed.save());
    }
    CookieStore a(path);
    CookieStore b(path);

    // a signs in again (new sid) and b, which never saw that, stores a cookie of its own.
    a.setCookie(makeCookie(site, QStringLiteral("sid"), QStringLiteral("new")));
    a.setCookie(makeCookie(site, QStringLiteral("a-only"), QStringLiteral("1")));
    ASSERT_TRUE(a.save());
    b.setCookie(makeCookie(site, QStringLiteral("b-only"), QStringLiteral("2")));
    ASSERT_TRUE(b.save());
    const QStringList both{
        QStringLiteral(".forum.example/f=1"), QStringLiteral("127.0.0.1/a-only=1"),
        QStringLiteral("127.0.0.1/b-only=2"), QStringLiteral("127.0.0.1/qauid=31337"),
        QStringLiteral("127.0.0.1/sid=new")};
    EXPECT_EQ(names(CookieStore(path).cookies()), both);
    EXPECT_EQ(names(b.cookies()), both);  // b took in what a stored

    // b signs out of the site (its own deletion wins); a's next save keeps it signed out,
    // and a forgets the deleted cookies too.
    EXPECT_EQ(b.deleteCookiesWithDomain(site), 4);
    ASSERT_TRUE(b.save());
    a.setCookie(
        makeCookie(QStringLiteral(".forum.example"), QStringLiteral("f"), QStringLiteral("2")));
    ASSERT_TRUE(a.save());
    EXPECT_EQ(names(CookieStore(path).cookies()),
              QStringList{QStringLiteral(".forum.example/f=2")});
    EXPECT_EQ(names(a.cookies()), QStringList{QStringLiteral(".forum.example/f=2")});

    // Both change the same cookie: the later save wins.
    a.setCookie(makeCookie(site, QStringLiteral("sid"), QStringLiteral("from-a")));
    b.setCookie(makeCookie(site, QStringLiteral("sid"), QStringLiteral("from-b")));
    ASSERT_TRUE(a.save());
    ASSERT_TRUE(b.save());
    EXPECT_TRUE(
        names(CookieStore(path).cookies()).contains(QStringLiteral("127.0.0.1/sid=from-b")));
}

// What can't be read is kept as it was, under a name of its own, and said once; a file with
// some bad lines is still a cookies file and keeps its good ones.
TEST(CookieStoreTest, UnreadableFilesAreKeptAsideAndToldOnce) {
    enum class Make { Folder, Oversized, NotCookies, SomeBadLines };
    for (const Make make : {Make::Folder, Make::Oversized, Make::NotCookies, Make::SomeBadLines}) {
        test::TempHome home;
        const QString path = home.file(QStringLiteral("cookies.txt"));
        QByteArray content;
        if (make == Make::Folder) {
            ASSERT_TRUE(QDir().mkdir(path));
        } else {
            content = make == Make::NotCookies ? QByteArray("\x89PNG\r\n\x1A\n garbage")
                                               : QByteArray(
                                                     "nonsense line\n127.0.0.1\tFALSE\t/"
                                                     "\tFALSE\t0\tsid\tkept\n");
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(content);
            if (make == Make::Oversized) {
                ASSERT_TRUE(f.resize(5 * 1024 * 1024));
            }
            f.close();
        }
        CookieStore store(path);
        const QList<StoreNotice> notices = store.takeNotices();
        if (make == Make::SomeBadLines) {
            EXPECT_TRUE(notices.isEmpty());
            EXPECT_EQ(names(store.cookies()), QStringList{QStringLiteral("127.0.0.1/sid=kept")});
            continue;
        }
        ASSERT_EQ(notices.size(), 1) << int(make);
        EXPECT_EQ(notices[0].kind, StoreNotice::Kind::SetAside);
        EXPECT_TRUE(notices[0].text.contains(path));
        EXPECT_TRUE(notices[0].text.contains(notices[0].asidePath));
        const QFileInfo aside(notices[0].asidePath);
        EXPECT_EQ(aside.isDir(), make == Make::Folder);
        if (make == Make::NotCookies) {
            QFile kept(notices[0].asidePath);
            ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
            EXPECT_EQ(kept.readAll(), content);
        } else if (make == Make::Oversized) {
            EXPECT_EQ(aside.size(), 5 * 1024 * 1024);
        }
        EXPECT_TRUE(store.cookies().isEmpty());
        store.setCookie(makeCookie(QStringLiteral("127.0.0.1"), QStringLiteral("sid"),
                                   QStringLiteral("fresh")));
        EXPECT_TRUE(store.save());
        EXPECT_TRUE(store.takeNotices().isEmpty());
        EXPECT_TRUE(QFileInfo::exists(notices[0].asidePath));
    }
}

TEST(CookieStoreTest, SaveFailureIsReportedAndToldOnce) {
    test::TempHome home;
    QFile plain(home.file(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    // A regular file stands where the cookies' folder would have to be.
    CookieStore store(home.file(QStringLiteral("plain/cookies.txt")));
    EXPECT_TRUE(store.save());  // nothing to write yet
    EXPECT_FALSE(store.saveProblem().has_value());
    for (const char* value : {"1", "2"}) {
        store.setCookie(makeCookie(QStringLiteral("127.0.0.1"), QStringLiteral("sid"),
                                   QString::fromLatin1(value)));
        EXPECT_FALSE(store.save());
    }
    ASSERT_TRUE(store.saveProblem().has_value());
    EXPECT_TRUE(store.saveProblem()->contains(store.filePath()));
    const QList<StoreNotice> notices = store.takeNotices();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices[0].kind, StoreNotice::Kind::NotSaved);
    EXPECT_EQ(notices[0].text, *store.saveProblem());
}

}  // namespace
}  // namespace pelloran

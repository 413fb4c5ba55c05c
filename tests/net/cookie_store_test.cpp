// The shared cookie store: what survives a restart, exact-domain deletion, and hostile files.

#include "net/cookie_store.h"
#include "support/file_mode.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>
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

}  // namespace
}  // namespace pelloran

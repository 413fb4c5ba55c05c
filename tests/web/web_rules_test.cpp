// The address and page-text rules of the web screens.

#include "web/web_rules.h"
#include "web/page_scripts.h"

#include <gtest/gtest.h>

namespace pelloran::web {
namespace {

TEST(WebRules, PageTextsFitADataUrlUpToTwoMegabytesOnceEncoded) {
    // Letters stay as they are in the URL; other bytes take three characters each.
    const qsizetype room = 2 * 1024 * 1024 - qsizetype(sizeof("data:text/html;charset=UTF-8,") - 1);
    EXPECT_TRUE(fitsInDataUrl(QByteArray(room, 'a')));
    EXPECT_FALSE(fitsInDataUrl(QByteArray(room + 1, 'a')));
    EXPECT_TRUE(fitsInDataUrl(QByteArray(room / 3, '<')));
    EXPECT_FALSE(fitsInDataUrl(QByteArray(room / 3 + 1, '<')));
    EXPECT_FALSE(fitsInDataUrl(QByteArray(3 * 1024 * 1024, 'a')));
    EXPECT_TRUE(fitsInDataUrl(QByteArray()));
}

TEST(WebRules, BaseHrefGoesFirstIntoTheHead) {
    const QUrl base(QStringLiteral("http://127.0.0.1:8410/"));
    const QString tag = QStringLiteral("<base href=\"http://127.0.0.1:8410/\">");
    const struct {
        QString page;
        QString expected;
    } cases[] = {
        {QStringLiteral("<html><head><title>T</title></head></html>"),
         QStringLiteral("<html><head>") + tag + QStringLiteral("<title>T</title></head></html>")},
        {QStringLiteral("<HTML><HEAD lang=\"en\"><title>T</title>"),
         QStringLiteral("<HTML><HEAD lang=\"en\">") + tag + QStringLiteral("<title>T</title>")},
        // <header> is not the head.
        {QStringLiteral("<body><header>x</header></body>"),
         tag + QStringLiteral("<body><header>x</header></body>")},
        {QString(), tag},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(withBaseHref(c.page, base), c.expected) << c.page.toStdString();
    }
    EXPECT_EQ(withBaseHref(QStringLiteral("<head>"), QUrl(QStringLiteral("http://h/a\"b"))),
              QStringLiteral("<head><base href=\"http://h/a%22b\">"));
}

TEST(WebRules, HostsAndOrigins) {
    const auto url = [](const char* text) { return QUrl(QString::fromLatin1(text)); };
    const struct {
        const char* url;
        const char* host;
        bool on;
    } hosts[] = {
        {"http://127.0.0.2:8411/thread/1", "127.0.0.2:8411", true},
        {"http://FORUM.example/x", "forum.example", true},
        {"http://forum.example:80/x", "forum.example", true},
        {"http://forum.example:8080/x", "forum.example", false},
        {"http://127.0.0.1:8411/", "127.0.0.2:8411", false},
        // Naming the forum host in the address does not make a page the forum's.
        {"http://elsewhere.example/?next=forum.example", "forum.example", false},
        {"http://forum.example.elsewhere.example/", "forum.example", false},
        {"", "forum.example", false},
    };
    for (const auto& c : hosts) {
        EXPECT_EQ(isOnHost(url(c.url), QString::fromLatin1(c.host)), c.on) << c.url;
    }

    const struct {
        const char* a;
        const char* b;
        bool same;
    } origins[] = {
        {"http://127.0.0.1:9091/transmission/rpc", "http://127.0.0.1:9091/transmission/web/", true},
        {"http://user:pw@127.0.0.1:9091/", "http://127.0.0.1:9091/transmission/web/", true},
        {"http://127.0.0.1:9092/", "http://127.0.0.1:9091/", false},
        {"https://127.0.0.1:9091/", "http://127.0.0.1:9091/", false},
        {"http://localhost:9091/", "http://127.0.0.1:9091/", false},
        {"http://evil.example/", "http://127.0.0.1:9091/", false},
        {"http://host/", "http://HOST:80/", true},
    };
    for (const auto& c : origins) {
        EXPECT_EQ(isSameOrigin(url(c.a), url(c.b)), c.same) << c.a << " / " << c.b;
    }
}

TEST(WebRules, TorrentFileLinks) {
    EXPECT_TRUE(isTorrentFileLink(QUrl(QStringLiteral("http://h/download/5/Some%20Name.torrent"))));
    EXPECT_TRUE(isTorrentFileLink(QUrl(QStringLiteral("http://h/download.php?id=5&f=a.torrent"))));
    EXPECT_FALSE(isTorrentFileLink(QUrl(QStringLiteral("http://h/torrent/5/Some-Name"))));
    EXPECT_FALSE(isTorrentFileLink(QUrl(QStringLiteral("http://www.imdb.com/title/tt1/"))));
}

}  // namespace
}  // namespace pelloran::web

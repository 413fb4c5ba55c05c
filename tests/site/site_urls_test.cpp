// The site addresses the lists build from the settings.

#include "site/site_urls.h"
#include "site/site_config.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "support/temp_home.h"
#include "text/url_escaping.h"

#include <gtest/gtest.h>
#include <QUrl>

namespace pelloran {
namespace {

class SiteUrlsTest : public ::testing::Test {
protected:
    SiteUrlsTest() { config.siteHost = QStringLiteral("t.example:8410"); }
    test::TempHome home;
    SettingsStore settings{home.path()};
    SiteConfig config;
};

TEST_F(SiteUrlsTest, BrowsePiecesInOrderOnlyWhenSet) {
    EXPECT_EQ(browseUrl(config, settings, 2),
              QStringLiteral("http://t.example:8410/torrents/browse/index/page/2"));
    settings.setValue(keys::sortBy, QStringLiteral("asc"));
    EXPECT_EQ(browseUrl(config, settings, 1),
              QStringLiteral("http://t.example:8410/torrents/browse/index/order/asc/page/1"));
    settings.setValue(keys::categories, QStringLiteral("8,9"));
    settings.setValue(keys::orderBy, QStringLiteral("orderby/size"));
    settings.setValue(keys::sortBy, QStringLiteral("desc"));
    EXPECT_EQ(browseUrl(config, settings, 2),
              QStringLiteral("http://t.example:8410/torrents/browse/index/categories/8,9/orderby/"
                             "size/order/desc/page/2"));
    settings.setValue(keys::categories, QString());  // "" means no piece, like absent
    settings.setValue(keys::orderBy, QString());
    EXPECT_EQ(browseUrl(config, settings, 3),
              QStringLiteral("http://t.example:8410/torrents/browse/index/order/desc/page/3"));
}

TEST_F(SiteUrlsTest, SearchUsesItsOwnKeysAndNoPagePieceOnPageOne) {
    settings.setValue(keys::categories, QStringLiteral("8"));  // browse keys don't leak in
    const QString query = escapedSearchWords(QStringLiteral("big show"));
    EXPECT_EQ(query, QStringLiteral("big%20show"));
    EXPECT_EQ(searchUrl(config, settings, query, 1),
              QStringLiteral("http://t.example:8410/torrents/browse/index/query/big%20show/"));
    settings.setValue(keys::searchCategories, QStringLiteral("13,26"));
    settings.setValue(keys::searchOrderBy, QStringLiteral("orderby/seeders"));
    EXPECT_EQ(searchUrl(config, settings, query, 2),
              QStringLiteral("http://t.example:8410/torrents/browse/index/query/big%20show/"
                             "categories/13,26/orderby/seeders/page/2"));
}

TEST_F(SiteUrlsTest, FixedAddresses) {
    EXPECT_EQ(favoritesUrl(config, 3),
              QStringLiteral("http://t.example:8410/torrents/browse/index/categories/"
                             "1,8,9,10,11,12,13,14,15,29,2,26,27,3,17,18,19,20,21,22,28,30,32,4,16,"
                             "31,5,6,23,24,25,7/page/3"));
    EXPECT_EQ(detailsPageUrl(config, QStringLiteral("/torrent/12345")),
              QStringLiteral("http://t.example:8410//torrent/12345"));
    EXPECT_EQ(profileUrl(config, QStringLiteral("some one")),
              QStringLiteral("http://t.example:8410/profile/some one"));
    EXPECT_EQ(torrentFileUrl(config, QStringLiteral("/download/1/a.torrent")),
              QStringLiteral("http://t.example:8410/download/1/a.torrent"));
}

// Each escaping against what its text may hold: a whole address (its own escapes kept, which
// QUrl::toPercentEncoding can't do), one path segment (search words must stay one segment), one
// query value (QUrl::toPercentEncoding as it stands: it may neither add fields nor end the
// query).
TEST(UrlEscapingTest, EscapesWhatItsPlaceCannotHold) {
    struct Case {
        QString in, url, search, query;
    };
    const Case cases[] = {
        {QStringLiteral("a b"), QStringLiteral("a%20b"), QStringLiteral("a%20b"),
         QStringLiteral("a%20b")},
        {QStringLiteral("a%20b"), QStringLiteral("a%20b"), QStringLiteral("a%2520b"),
         QStringLiteral("a%2520b")},
        {QStringLiteral("100%"), QStringLiteral("100%25"), QStringLiteral("100%25"),
         QStringLiteral("100%25")},
        {QStringLiteral("%zz%4"), QStringLiteral("%25zz%254"), QStringLiteral("%25zz%254"),
         QStringLiteral("%25zz%254")},
        {QStringLiteral("/p?a=1&b=2#f"), QStringLiteral("/p?a=1&b=2#f"),
         QStringLiteral("%2Fp%3Fa=1&b=2%23f"), QStringLiteral("%2Fp%3Fa%3D1%26b%3D2%23f")},
        {QStringLiteral("AC/DC what?"), QStringLiteral("AC/DC%20what?"),
         QStringLiteral("AC%2FDC%20what%3F"), QStringLiteral("AC%2FDC%20what%3F")},
        {QString::fromUtf8("\xC3\xA9 \xF0\x9F\x8E\xB5"), QStringLiteral("%C3%A9%20%F0%9F%8E%B5"),
         QStringLiteral("%C3%A9%20%F0%9F%8E%B5"), QStringLiteral("%C3%A9%20%F0%9F%8E%B5")},
        {QStringLiteral("a+b\"<>{}|\\^`"), QStringLiteral("a+b%22%3C%3E%7B%7D%7C%5C%5E%60"),
         QStringLiteral("a+b%22%3C%3E%7B%7D%7C%5C%5E%60"),
         QStringLiteral("a%2Bb%22%3C%3E%7B%7D%7C%5C%5E%60")},
        {QStringLiteral("-._~!$'()*,;:@[]"), QStringLiteral("-._~!$'()*,;:@[]"),
         QStringLiteral("-._~!$'()*,;:@%5B%5D"),
         QStringLiteral("-._~%21%24%27%28%29%2A%2C%3B%3A%40%5B%5D")},
        {QStringLiteral("\t\n"), QStringLiteral("%09%0A"), QStringLiteral("%09%0A"),
         QStringLiteral("%09%0A")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in.toStdString());
        EXPECT_EQ(text::percentEscapeUrl(c.in), c.url);
        EXPECT_EQ(escapedSearchWords(c.in), c.search);
        EXPECT_EQ(QString::fromLatin1(QUrl::toPercentEncoding(c.in)), c.query);
    }
}

}  // namespace
}  // namespace pelloran

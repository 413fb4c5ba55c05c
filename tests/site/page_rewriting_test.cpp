// Cutting details and profile pages down to their content.

#include "site/page_rewriting.h"
#include "text/regex.h"

#include <gtest/gtest.h>

namespace pelloran {
namespace {

const QString kHead = QStringLiteral(
    "<html><head><title>T</title><link rel=\"stylesheet\" href=\"/s.css\" /></head>\n<body>\n");

QString details(const QString& torrentBlock) {
    return kHead +
           QStringLiteral(
               "<div id=\"middle\">\n<div id=\"header\">menus <div "
               "id=\"pageTools\">top</div></div>\n"
               "<div id=\"nav\">nav</div>\n") +
           torrentBlock + QStringLiteral("\n</div>\n</body></html>");
}

TEST(PageRewritingTest, DetailsKeepHeadAndTorrentBlockWithoutToolsOrButton) {
    const QString page = details(QStringLiteral(
        "<div id=\"torrent\"><h1>Name</h1>\n"
        "<div id=\"pageTools\">share</div><p>text</p><div id=\"pageTools\">print</div>\n"
        "<button id=\"downloadButton\">Download</button> size</div>\n"
        "<a href='http://www.imdb.com/title/tt0111111/' target=\"_blank\">IMDb</a>\n"
        "<a href=\"http://www.imdb.com/title/tt0222222/\">second</a>"));
    const RewrittenDetails r = rewriteDetailsPage(page, QStringLiteral("www.imdb.com"));
    EXPECT_TRUE(r.page.startsWith(kHead));
    EXPECT_FALSE(r.page.contains(QStringLiteral("menus")));
    EXPECT_FALSE(r.page.contains(QStringLiteral("nav</div>")));
    EXPECT_FALSE(r.page.contains(QStringLiteral("pageTools")));
    EXPECT_FALSE(r.page.contains(QStringLiteral("downloadButton")));
    EXPECT_TRUE(r.page.contains(QStringLiteral("<div id=\"torrent\"><h1>Name</h1>")));
    EXPECT_TRUE(r.page.contains(QStringLiteral("<p>text</p>")));
    EXPECT_EQ(r.imdb, QStringLiteral("http://www.imdb.com/title/tt0111111/"));  // the first one
}

// The movie database's host is matched as written: a look-alike host whose dots are other
// characters (another site altogether) is not taken for it.
TEST(PageRewritingTest, MovieLinkHostIsMatchedLiterally) {
    const QString page = details(QStringLiteral(
        "<div id=\"torrent\"><a href='http://wwwXimdb-com/evil/'>a</a>"
        "<a href=\"http://www.imdbacom/evil/\">b</a><a href='http://www.imdb'com/x'>c</a>"
        "<a href='http://www.imdb.com/title/tt0333333/'>IMDb</a></div>"));
    EXPECT_EQ(rewriteDetailsPage(page, QStringLiteral("www.imdb.com")).imdb,
              QStringLiteral("http://www.imdb.com/title/tt0333333/"));
    // A configured host with pattern characters of its own is still taken literally.
    const QString odd = details(
        QStringLiteral("<div id=\"torrent\"><a href='http://a+b\\E(x).example:8/t/1'>x</a></div>"));
    EXPECT_EQ(rewriteDetailsPage(odd, QStringLiteral("a+b\\E(x).example:8")).imdb,
              QStringLiteral("http://a+b\\E(x).example:8/t/1"));
}

TEST(PageRewritingTest, DetailsWithoutLinkOrBlocks) {
    const RewrittenDetails noLink = rewriteDetailsPage(
        details(QStringLiteral("<div id=\"torrent\">plain</div>")), QStringLiteral("www.imdb.com"));
    EXPECT_FALSE(noLink.imdb.has_value());
    EXPECT_TRUE(noLink.page.contains(QStringLiteral("plain")));
    const QString odd =
        QStringLiteral("<html><body>no blocks <a href='http://www.imdb.com/x'>i</a></body></html>");
    const RewrittenDetails unmatched = rewriteDetailsPage(odd, QStringLiteral("www.imdb.com"));
    EXPECT_EQ(unmatched.page, odd);
    EXPECT_FALSE(unmatched.imdb.has_value());
}

TEST(PageRewritingTest, ProfileKeepsItsBlockOrBecomesTheErrorPage) {
    const QString page = kHead + QStringLiteral(
                                     "<div id=\"middle\"><div id=\"header\">h</div>\n"
                                     "<div id=\"profile\">Member demo</div>\n</div></body></html>");
    const QString cut = rewriteProfilePage(page);
    EXPECT_TRUE(cut.startsWith(kHead));
    EXPECT_TRUE(cut.contains(QStringLiteral("<div id=\"profile\">Member demo</div>")));
    EXPECT_FALSE(cut.contains(QStringLiteral("header")));
    EXPECT_EQ(rewriteProfilePage(kHead + QStringLiteral("<div id=\"middle\">No such member</div>")),
              QStringLiteral("<html>Error loading page.  Try again.</html>"));
}

}  // namespace
}  // namespace pelloran

namespace pelloran {
namespace {

// The cut is worked out by searching; it must give exactly what the pattern it stands for
// gives. Pages are built from the pieces that matter, in random orders and numbers.
TEST(PageRewritingTest, CutAgreesWithItsPatternOnRandomPages) {
    const QString pattern = QStringLiteral(
        R"re(([\s\S]*</head>[\s\S]*?)<div id="middle">[\s\S]*</div>[\s\S]*?(<div id="torrent">[\s\S]*))re");
    // The four tags the pattern looks for come twice, so that many pages do match.
    const QStringList pieces = {
        QStringLiteral("</head>"),
        QStringLiteral("<div id=\"middle\">"),
        QStringLiteral("</div>"),
        QStringLiteral("<div id=\"torrent\">"),
        QStringLiteral("</head>"),
        QStringLiteral("<div id=\"middle\">"),
        QStringLiteral("</div>"),
        QStringLiteral("<div id=\"torrent\">"),
        QStringLiteral("text\n"),
        QStringLiteral("<div>"),
        QStringLiteral("</di"),
        QStringLiteral("v>"),
        QStringLiteral("<div id=\"torrent"),
    };
    quint32 seed = 12345;
    const auto next = [&seed](quint32 bound) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % bound;
    };
    text::setRegexStepBudget(1 << 28);  // the pattern itself, without its time bound
    int matched = 0;
    for (int round = 0; round < 5000; ++round) {
        QString page;
        const quint32 count = 1 + next(18);
        for (quint32 i = 0; i < count; ++i) {
            page += pieces[int(next(quint32(pieces.size())))];
        }
        const QStringList g = text::captureComponentsMatchedByRegex(page, pattern);
        const std::optional<PageCut> cut = cutPage(page, QLatin1StringView("<div id=\"torrent\">"));
        ASSERT_EQ(cut.has_value(), g.size() == 3) << page.toStdString();
        if (cut) {
            ++matched;
            EXPECT_EQ(cut->head, g[1]) << page.toStdString();
            EXPECT_EQ(cut->block, g[2]) << page.toStdString();
        }
    }
    text::setRegexStepBudget(0);
    EXPECT_GT(matched, 300);  // the random pages do exercise the matching side
}

TEST(PageRewritingTest, LongPageWithManyBlocksIsCutQuickly) {
    // A long details page whose comments hold thousands of closing tags: the pattern would
    // backtrack over every one of them.
    QString page =
        kHead + QStringLiteral("<div id=\"middle\"><div id=\"nav\">n</div>\n<div id=\"torrent\">T");
    for (int i = 0; i < 4000; ++i) {
        page += QStringLiteral("<div class=\"comment\">comment %1</div>\n").arg(i);
    }
    page += QStringLiteral("</div></body></html>");
    const RewrittenDetails r = rewriteDetailsPage(page, QStringLiteral("www.imdb.com"));
    EXPECT_TRUE(r.page.startsWith(kHead));
    EXPECT_TRUE(r.page.contains(QStringLiteral("comment 3999")));
    EXPECT_FALSE(r.page.contains(QStringLiteral("id=\"nav\"")));
}

}  // namespace
}  // namespace pelloran

// Cutting details and profile pages down to their content.

#include "site/page_rewriting.h"

#include <gtest/gtest.h>

namespace pelloran {
namespace {

const QString kHead = QStringLiteral("<html><head><title>T</title><link rel=\"stylesheet\" href=\"/s.css\" /></head>\n<body>\n");

QString details(const QString& torrentBlock) {
    return kHead + QStringLiteral(
                       "<div id=\"middle\">\n<div id=\"header\">menus <div id=\"pageTools\">top</div></div>\n"
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

TEST(PageRewritingTest, DetailsWithoutLinkOrBlocks) {
    const RewrittenDetails noLink = rewriteDetailsPage(
        details(QStringLiteral("<div id=\"torrent\">plain</div>")), QStringLiteral("www.imdb.com"));
    EXPECT_FALSE(noLink.imdb.has_value());
    EXPECT_TRUE(noLink.page.contains(QStringLiteral("plain")));
    const QString odd = QStringLiteral("<html><body>no blocks <a href='http://www.imdb.com/x'>i</a></body></html>");
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

// Hostile or broken pages parse to nothing, and come back at all: each of these pages sends a
// reader's pattern into run-away backtracking, which only the regex work budget (counted in
// engine steps, not time) ends. Without it the test would not finish.

#include "site/filter.h"
#include "site/page_rewriting.h"
#include "site/snatch_list.h"
#include "site/torrent_listing.h"

#include <gtest/gtest.h>

namespace pelloran {
namespace {

constexpr qsizetype kPageSize = 250 * 1024;

QString repeatUntil(const QString& head, const QString& unit, const QString& tail = QString()) {
    QString page = head;
    while (page.size() < kPageSize) {
        page += unit;
    }
    return page + tail;
}

TEST(BoundedParsingTest, ListingPagesThatMatchNowhere) {
    // Rows like a listing's, without the category image the pattern needs.
    const QString rows = repeatUntil(
        QStringLiteral("<html><table>\n"),
        QStringLiteral(
            "<tr class=\"t\" id=\"r1\">\n<td><a href=\"/b\">x</a></td>\n<td class=\"n\">"
            "<a href=\"/torrent/1\">Name</a> on 2012-01-01 10:00:00</td>\n<td><a href=\"/d\">"
            "d</a></td>\n<td>1</td>\n<td>1.0 "
            "GB</td>\n<td>2</td>\n<td>3</td>\n<td>4</td>\n</tr>\n"));
    // One opening tag followed by nothing but cells: a single huge row.
    const QString oneRow = repeatUntil(QStringLiteral("<tr id=\"x\">\n"),
                                       QStringLiteral("<td><a href=\"/a\">a</a> on b</td>\n"));
    for (const QString& page : {rows, oneRow}) {
        EXPECT_TRUE(parseTorrentListing(page, {}).isEmpty());
    }
}

TEST(BoundedParsingTest, SnatchTextThatMatchesNowhere) {
    const QString rows = repeatUntil(
        QStringLiteral("{\"aaData\":["),
        // Rows cut short after the size: the fields the pattern needs never come.
        QStringLiteral(R"(["<a href=\"\/torrent\/1\/x\">x<\/a>","1 GB"],)"), QStringLiteral("]}"));
    // One row whose link never closes, with separators all along.
    const QString oneRow = repeatUntil(QStringLiteral(R"(["<a href=\"\/torrent\/1\">)"),
                                       QStringLiteral(R"(x","1 GB",1,2,3,")"));
    for (const QString& text : {rows, oneRow}) {
        EXPECT_TRUE(parseSnatchList(text).isEmpty());
    }
}

TEST(BoundedParsingTest, RewritingPagesWithoutTheirBlocks) {
    const QString page = repeatUntil(
        QStringLiteral("<html><head></head><body><div id=\"middle\">\n"),
        QStringLiteral("<div class=\"c\"><div>text</div></div> <div id=\"pageTools\">\n"));
    const RewrittenDetails details = rewriteDetailsPage(page, QStringLiteral("www.imdb.com"));
    EXPECT_EQ(details.page, page);
    EXPECT_FALSE(details.imdb.has_value());
    EXPECT_EQ(rewriteProfilePage(page), kProfileErrorPage);
}

TEST(BoundedParsingTest, PathologicalKeywordOverAFavoritesScan) {
    // Five pages of 25 rows each with names built to make the keyword backtrack.
    TorrentList rows;
    for (int i = 0; i < 125; ++i) {
        rows.append(std::make_shared<Torrent>());
        rows.last()->setName(QString(60, QLatin1Char('a')) + QLatin1Char('!'));
    }
    TorrentList kept;
    for (int page = 0; page < 5; ++page) {
        kept += filterTorrents(rows.mid(page * 25, 25), {Filter(QStringLiteral("(a|aa)+$"))});
    }
    EXPECT_TRUE(kept.isEmpty());
}

}  // namespace
}  // namespace pelloran

// The listing reader on a small saved page: fields, character references, download addresses,
// the history marks, a KB row that drops out without disturbing its neighbours, and what a
// page is: rows, the end of the listing, or a page the reader no longer understands.

#include "site/torrent_listing.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QRegularExpression>

namespace pelloran {
namespace {

QString readFixture(const QString& name) {
    QFile f(QStringLiteral(PELLORAN_TEST_DATA_DIR "/") + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return QString::fromUtf8(f.readAll());
}

struct Row {
    QString type, detailsUrl, name, date, downloadUrl, size, up, down;
};

Row rowOf(const TorrentPtr& t) {
    return {t->type().value_or(QStringLiteral("<absent>")),
            t->detailsUrl().value_or(QStringLiteral("<absent>")),
            t->name().value_or(QStringLiteral("<absent>")),
            t->date().value_or(QStringLiteral("<absent>")),
            t->downloadUrl().value_or(QStringLiteral("<absent>")),
            t->size().value_or(QStringLiteral("<absent>")),
            t->up().value_or(QStringLiteral("<absent>")),
            t->down().value_or(QStringLiteral("<absent>"))};
}

void expectRow(const Row& got, const Row& want) {
    EXPECT_EQ(got.type, want.type);
    EXPECT_EQ(got.detailsUrl, want.detailsUrl);
    EXPECT_EQ(got.name, want.name);
    EXPECT_EQ(got.date, want.date);
    EXPECT_EQ(got.downloadUrl, want.downloadUrl);
    EXPECT_EQ(got.size, want.size);
    EXPECT_EQ(got.up, want.up);
    EXPECT_EQ(got.down, want.down);
}

TEST(ListingParserTest, ReadsRowsAndLeavesKbRowOutWithoutMergingNeighbours) {
    const TorrentList rows =
        parseTorrentListing(readFixture(QStringLiteral("listing_small.html")), {});
    ASSERT_EQ(rows.size(), 3);
    expectRow(rowOf(rows[0]),
              {QStringLiteral("hd.png"), QStringLiteral("/torrent/101/Some.Movie.2011.720p"),
               QStringLiteral("Some.Movie.2011.720p.BluRay.x264-GRP"),
               QStringLiteral("2012-03-05 14:07:09"),
               QStringLiteral("/download/101/Some.Movie.2011.720p.torrent"),
               QStringLiteral("1.37 GB"), QStringLiteral("12"), QStringLiteral("3")});
    // The row after the KB one keeps its own size and figures.
    expectRow(rowOf(rows[1]),
              {QStringLiteral("audio.png"), QStringLiteral("/torrent/103/Dust-Bones?ref=list&x=1"),
               QString::fromUtf8(
                   "Dust & Bones \xE2\x80\x93 Caf\xC3\xA9 \xE4\xB8\x9C\xE4\xBA\xAC (2010) [FLAC]"),
               QStringLiteral("2012-03-04 09:15:00"),
               // "&amp;" read as "&", an existing "%20" kept as it is.
               QStringLiteral("/download.php?id=103&name=Dust%20&%20Bones.torrent"),
               QStringLiteral("700.12 MB"), QStringLiteral("1,204"), QStringLiteral("0")});
    // Raw spaces and letters escaped as UTF-8; a "%" that starts no escape becomes "%25".
    expectRow(rowOf(rows[2]),
              {QStringLiteral("episodes.png"), QStringLiteral("/torrent/104/Show.S02E05"),
               QStringLiteral("Show.S02E05.HDTV.XviD-LOL"), QStringLiteral("2012-03-03 22:10:59"),
               QStringLiteral("/download/104/Show%20S02E05%20%C3%9Cn%C3%AFcode%20100%25.torrent"),
               QStringLiteral("350.5 MB"), QStringLiteral("7"), QStringLiteral("2")});
    for (const TorrentPtr& t : rows) {
        EXPECT_FALSE(t->isDownloaded());
        EXPECT_FALSE(t->ratio().has_value());
        EXPECT_FALSE(t->wait().has_value());
    }
}

TEST(ListingParserTest, HistoryMarksEveryRowOfTheSameExactName) {
    const QString page = readFixture(QStringLiteral("listing_small.html"));
    const QString twice = page + page;  // the same rows listed twice
    const TorrentList rows =
        parseTorrentListing(twice, {QStringLiteral("Show.S02E05.HDTV.XviD-LOL"),
                                    QStringLiteral("some.movie.2011.720p.bluray.x264-grp")});
    ASSERT_EQ(rows.size(), 6);
    for (const TorrentPtr& t : rows) {
        // Letter case counts: the lower-case history entry marks nothing.
        EXPECT_EQ(t->isDownloaded(), t->name() == QStringLiteral("Show.S02E05.HDTV.XviD-LOL"));
    }
}

TEST(ListingParserTest, PageWithoutRowsGivesEmptyList) {
    EXPECT_TRUE(parseTorrentListing(QStringLiteral("<html><title>x</title><table><tr><th>Name</th>"
                                                   "</tr></table></html>"),
                                    {})
                    .isEmpty());
    EXPECT_TRUE(parseTorrentListing(QString(), {}).isEmpty());
}

// The saved page with every match of `pattern` replaced, as a site redesign would do it.
QString changed(const QString& pattern, const QString& replacement) {
    return readFixture(QStringLiteral("listing_small.html"))
        .replace(QRegularExpression(pattern), replacement);
}

TEST(ListingParserTest, PageStatusTellsTheEndOfTheListingFromAChangedSite) {
    const QString page = readFixture(QStringLiteral("listing_small.html"));
    const QString head =
        QStringLiteral("<html><title>Browse</title><table>\n<tr><th>Name</th></tr>\n");
    // The rows of the saved page without its KB row, and the KB row alone.
    const qsizetype kbStart = page.indexOf(QStringLiteral("<tr class=\"torrentRow small\""));
    const qsizetype kbEnd =
        page.indexOf(QStringLiteral("<tr class=\"torrentRow\" id=\"torrent_103"));
    const QString kbOnly = head + page.mid(kbStart, kbEnd - kbStart) + QStringLiteral("</table>");
    struct Case {
        const char* label;
        QString page;
        ListingStatus status;
        qsizetype rows;
    } cases[] = {
        {"saved page", page, ListingStatus::Rows, 3},
        {"header row only", head + QStringLiteral("</table></html>"), ListingStatus::Empty, 0},
        {"no table", QStringLiteral("<html><title>Browse</title>Nothing found.</html>"),
         ListingStatus::Empty, 0},
        {"only a KB row, left out on purpose", kbOnly, ListingStatus::Empty, 0},
        {"rows linking elsewhere",
         head + QStringLiteral("<tr id=\"f1\"><td><a href=\"/forum/thread/3\">Forum</a></td>"
                               "<td><a href=\"/profile/x\">x</a></td><td><a href=\"/torrents/"
                               "browse/index/page/2\">Next</a></td></tr></table>"),
         ListingStatus::Empty, 0},
        // The site changes how it writes its rows: nothing can be read, yet rows are there.
        {"another attribute before href",
         changed(QStringLiteral("<a href="), QStringLiteral("<a class=\"t\" href=")),
         ListingStatus::NotUnderstood, 0},
        {"single-quoted links",
         changed(QStringLiteral("href=\"([^\"]*)\""), QStringLiteral("href='\\1'")),
         ListingStatus::NotUnderstood, 0},
        {"upper-case tags", changed(QStringLiteral("<a href="), QStringLiteral("<A HREF=")),
         ListingStatus::NotUnderstood, 0},
        {"category image renamed",
         changed(QStringLiteral("alt=\"Category\""), QStringLiteral("alt=\"Type\"")),
         ListingStatus::NotUnderstood, 0},
        {"details links only, unquoted and absolute",
         head + QStringLiteral("<tr id=\"r1\"><td><A HREF=http://t.example/details.php?id=5>"
                               "Name</a></td><td>1.0 GB</td></tr></table>"),
         ListingStatus::NotUnderstood, 0},
        {"download links only",
         head + QStringLiteral("<tr id=\"r1\"><td>Name</td><td><a title=\"get\" "
                               "href=\"torrents.php?action=grab&amp;id=12\">get</a></td></tr>"
                               "</table>"),
         ListingStatus::NotUnderstood, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const ListingOutcome outcome =
            readListingPage(c.page, {}, QStringLiteral("http://t.example/page/1"));
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(outcome.torrents.size(), c.rows);
        EXPECT_EQ(outcome.url, QStringLiteral("http://t.example/page/1"));
    }
}

TEST(ListingParserTest, PageTooCostlyToReadIsNotUnderstoodRatherThanTheEnd) {
    // One opening tag and then nothing but cells that almost fit: a single huge row whose
    // reading runs out of its budget. It ends in the size and peer cells, so that the row
    // can't be passed over for lacking them.
    QString costly = QStringLiteral("<tr id=\"x\">\n");
    while (costly.size() < 250 * 1024) {
        costly += QStringLiteral("<td><a href=\"/a\">a</a> on b</td>\n");
    }
    costly += QStringLiteral("<td>1.0 GB</td>\n<td>1</td>\n<td>2</td>\n<td>3</td>\n");
    // Alone, and after rows that read well: rows are turned into torrents as they are read,
    // and those read before the budget ran out must not pass for the whole page.
    const QString readable = readFixture(QStringLiteral("listing_small.html"));
    ASSERT_EQ(parseTorrentListing(readable, {}).size(), 3);
    for (const QString& page : {costly, readable + costly}) {
        const ListingOutcome outcome = readListingPage(page, {});
        EXPECT_EQ(outcome.status, ListingStatus::NotUnderstood);
        EXPECT_TRUE(outcome.torrents.isEmpty());
        EXPECT_TRUE(parseTorrentListing(page, {}).isEmpty());
    }
}

}  // namespace
}  // namespace pelloran

// The listing reader on a small saved page: fields, character references, download addresses,
// the history marks, and a KB row that drops out without disturbing its neighbours.

#include "site/torrent_listing.h"

#include <gtest/gtest.h>
#include <QFile>

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

}  // namespace
}  // namespace pelloran

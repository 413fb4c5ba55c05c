// The snatch list reader on JSON text as the site writes it.

#include "site/snatch_list.h"

#include <gtest/gtest.h>

namespace pelloran {
namespace {

// One row as json_encode writes it: slashes escaped, the link as the first field.
QString row(int id, const QString& name, const QString& size = QStringLiteral("1.4 GB")) {
    return QStringLiteral(
               R"(["<a href=\"\/torrent\/%1\/Slug-%1\">%2<\/a>","%3","18d 1h","12.0 MB","%3",1,33,22,"0.009","2012-07-02 12:13:59"])")
        .arg(QString::number(id), name, size);
}

QString answer(const QStringList& rows) {
    return QStringLiteral(R"({"sEcho":1,"iTotalRecords":80,"iTotalDisplayRecords":80,"aaData":[)") +
           rows.join(QLatin1Char(',')) + QStringLiteral("]}");
}

TEST(SnatchListTest, ReadsFieldsWithOnlyAmpersandDecoded) {
    const TorrentList rows = parseSnatchList(answer({
        row(12345, QStringLiteral("Dust &amp; Bones")),
        row(7, QStringLiteral(R"(Caf\u00e9 &#233; AC\/DC)")),
    }));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0]->detailsUrl(), QStringLiteral("/torrent/12345/Slug-12345"));
    EXPECT_EQ(rows[0]->name(), QStringLiteral("Dust & Bones"));
    EXPECT_EQ(rows[0]->size(), QStringLiteral("1.4 GB"));
    EXPECT_EQ(rows[0]->up(), QStringLiteral("12.0 MB"));
    EXPECT_EQ(rows[0]->down(), QStringLiteral("1.4 GB"));
    EXPECT_EQ(rows[0]->active(), QStringLiteral("1"));
    EXPECT_EQ(rows[0]->ratio(), QStringLiteral("0.009"));
    EXPECT_FALSE(rows[0]->downloadUrl().has_value());
    EXPECT_FALSE(rows[0]->date().has_value());
    // JSON escapes and numeric references stay as they are.
    EXPECT_EQ(rows[1]->name(), QStringLiteral(R"(Caf\u00e9 &#233; AC\/DC)"));
}

TEST(SnatchListTest, MalformedRowIsSkippedWithoutSwallowingTheNext) {
    QString broken = row(2, QStringLiteral("Broken"));
    broken.replace(QStringLiteral(",1,33,22,"),
                   QStringLiteral(",\"1\",\"x\"]"));  // fields cut short
    const TorrentList rows = parseSnatchList(
        answer({row(1, QStringLiteral("First")), broken, row(3, QStringLiteral("Third"))}));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0]->name(), QStringLiteral("First"));
    EXPECT_EQ(rows[1]->name(), QStringLiteral("Third"));
    EXPECT_EQ(rows[1]->detailsUrl(), QStringLiteral("/torrent/3/Slug-3"));
    EXPECT_EQ(rows[1]->ratio(), QStringLiteral("0.009"));
}

TEST(SnatchListTest, EmptyAnswersAndTheRequestBody) {
    EXPECT_TRUE(parseSnatchList(answer({})).isEmpty());
    EXPECT_TRUE(parseSnatchList(QStringLiteral("<html>Login</html>")).isEmpty());
    QStringList fifty;
    for (int i = 0; i < 50; ++i) {
        fifty.append(row(i + 1, QStringLiteral("T%1").arg(i)));
    }
    EXPECT_EQ(parseSnatchList(answer(fifty)).size(), 50);

    // The body asks for 50 rows for the member, with the id last and unescaped.
    EXPECT_EQ(snatchListBody(QStringLiteral("%@")).size(), 815);
    const QString body = snatchListBody(QStringLiteral("31337"));
    EXPECT_TRUE(body.startsWith(
        QStringLiteral("sEcho=1&iColumns=10&sColumns=&iDisplayStart=0&iDisplayLength=50&")));
    EXPECT_TRUE(body.contains(QStringLiteral("&iSortCol_0=9&sSortDir_0=desc&")));
    EXPECT_TRUE(body.contains(QStringLiteral("&bSortable_5=false&")));
    EXPECT_TRUE(body.endsWith(QStringLiteral("&userID=31337")));
}

}  // namespace
}  // namespace pelloran

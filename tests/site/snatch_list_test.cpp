// The snatch list reader on JSON text as the site writes it.

#include "site/snatch_list.h"

#include <gtest/gtest.h>

#include "text/qstring_printer.h"

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

TEST(SnatchListTest, ReadsEveryField) {
    const TorrentList rows =
        parseSnatchList(answer({row(12345, QStringLiteral("Dust &amp; Bones"))}));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0]->detailsUrl(), QStringLiteral("/torrent/12345/Slug-12345"));
    EXPECT_EQ(rows[0]->name(), QStringLiteral("Dust & Bones"));
    EXPECT_EQ(rows[0]->size(), QStringLiteral("1.4 GB"));
    EXPECT_EQ(rows[0]->up(), QStringLiteral("12.0 MB"));
    EXPECT_EQ(rows[0]->down(), QStringLiteral("1.4 GB"));
    EXPECT_EQ(rows[0]->active(), QStringLiteral("1"));
    EXPECT_EQ(rows[0]->ratio(), QStringLiteral("0.009"));
    EXPECT_FALSE(rows[0]->downloadUrl().has_value());
    EXPECT_FALSE(rows[0]->date().has_value());
}

// Names are HTML inside JSON strings: the member sees the name the listing shows, never the
// escapes of either layer.
TEST(SnatchListTest, NamesAreDecodedFromJsonThenFromHtml) {
    const struct {
        const char* json;  // the link text as it stands in the answer
        QString name;
    } cases[] = {
        {R"(\u5343\u3068\u5343\u5c0b)", QStringLiteral("\u5343\u3068\u5343\u5c0b")},
        {R"(Caf\u00e9 \ud83c\udfb5)", QStringLiteral("Caf\u00e9 \U0001F3B5")},  // a surrogate pair
        {R"(AC\/DC \"Live\" C:\\ \t)", QStringLiteral("AC/DC \"Live\" C:\\ \t")},
        {R"(Caf&#233; &#x4E1C; Tom &amp; Jerry &quot;x&quot; &lt;3)",
         QStringLiteral("Caf\u00e9 \u4E1C Tom & Jerry \"x\" <3")},
        // A JSON escape that spells a character reference gives the character: JSON first.
        {R"(\u0026amp; R\u0026B)", QStringLiteral("& R&B")},
        {R"(&amp;lt;)", QStringLiteral("&lt;")},  // each layer is undone once
        {R"(broken \u12 escape)", QStringLiteral("broken \\u12 escape")},  // kept as it came
    };
    QStringList rows;
    for (qsizetype i = 0; i < qsizetype(std::size(cases)); ++i) {
        rows.append(row(int(i + 1), QString::fromUtf8(cases[i].json)));
    }
    const TorrentList parsed = parseSnatchList(answer(rows));
    ASSERT_EQ(parsed.size(), qsizetype(std::size(cases)));
    for (qsizetype i = 0; i < parsed.size(); ++i) {
        EXPECT_EQ(parsed[i]->name(), cases[i].name) << cases[i].json;
    }
    // The quoted figures are JSON strings too.
    QString figures = row(9, QStringLiteral("x"), QStringLiteral(R"(1.4\u00a0GB)"));
    const TorrentList one = parseSnatchList(answer({figures}));
    ASSERT_EQ(one.size(), 1);
    EXPECT_EQ(one[0]->size(), QStringLiteral("1.4\u00a0GB"));
    EXPECT_EQ(one[0]->down(), QStringLiteral("1.4\u00a0GB"));
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

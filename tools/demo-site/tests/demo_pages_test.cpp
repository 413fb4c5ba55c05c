// The listing, details, profile and forum pages have the shapes a client's patterns read.

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QUrl>
#include <set>

#include "demo_site.h"
#include "icu_match.h"
#include "site_client.h"

namespace pelloran::demo::test {
namespace {

// Decodes the character references the site writes in names.
QString decodeHtml(QString text) {
    static const QRegularExpression ref(
        QStringLiteral("&(#x[0-9A-Fa-f]+|#[0-9]+|amp|lt|gt|quot);"));
    QString out;
    qsizetype last = 0;
    for (auto it = ref.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out += text.mid(last, m.capturedStart() - last);
        const QString r = m.captured(1);
        if (r == QLatin1String("amp"))
            out += QLatin1Char('&');
        else if (r == QLatin1String("lt"))
            out += QLatin1Char('<');
        else if (r == QLatin1String("gt"))
            out += QLatin1Char('>');
        else if (r == QLatin1String("quot"))
            out += QLatin1Char('"');
        else if (r.startsWith(QLatin1String("#x")))
            out += QChar(r.mid(2).toUShort(nullptr, 16));
        else
            out += QChar(r.mid(1).toUShort());
        last = m.capturedEnd();
    }
    return out + text.mid(last);
}

class DemoPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(site.start());
        client = std::make_unique<SiteClient>(site.siteHost());
        ASSERT_EQ(client->signIn(site.memberName(), site.memberPassword()).status, 302);
    }

    // Checks every row a client reads from the page against the rows the site says it shows.
    // The row pattern is tried on each row's own text (from one "<tr" to the next): over the
    // whole page its lazy spans would run from a KB row into the next row.
    void expectRowsRead(const QString& page, const std::vector<DemoTorrent>& shown) {
        const std::vector<DemoTorrent> expected = DemoSite::clientRows(shown);
        std::vector<QStringList> rows;
        const QStringList pieces = page.split(QStringLiteral("<tr"));
        for (qsizetype i = 1; i < pieces.size(); ++i) {
            const auto found = icuMatches(QStringLiteral("<tr") + pieces[i], kRowPattern);
            rows.insert(rows.end(), found.begin(), found.end());
        }
        ASSERT_EQ(rows.size(), expected.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            const QStringList& g = rows[i];
            const DemoTorrent& t = expected[i];
            SCOPED_TRACE(t.name.toStdString());
            EXPECT_EQ(g[1], t.categoryImage);
            EXPECT_EQ(g[2], t.detailsHref);
            EXPECT_EQ(g[3], t.nameHtml);
            EXPECT_EQ(decodeHtml(g[3]), t.name);
            EXPECT_EQ(g[4], t.date);
            EXPECT_EQ(g[5], t.downloadHref);
            EXPECT_EQ(g[6] + QLatin1Char(' ') + g[7], t.sizeText);
            EXPECT_EQ(g[8], QString::number(t.seeders));
            EXPECT_EQ(g[9], QString::number(t.leechers));
        }
    }

    DemoSite site;
    std::unique_ptr<SiteClient> client;
};

TEST_F(DemoPagesTest, EveryBrowsePageReadsAsItsRowsWithoutTheKbOnes) {
    const int pages = site.pageCount(ListingQuery{});
    ASSERT_GE(pages, 10);
    size_t kbRows = 0;
    for (int page = 1; page <= pages + 1; ++page) {
        const QString path = QStringLiteral("/torrents/browse/index/page/%1").arg(page);
        const Reply reply = client->get(path);
        ASSERT_EQ(reply.status, 200);
        const std::vector<DemoTorrent> shown = site.listing(path);
        EXPECT_EQ(shown.empty(), page > pages);
        for (const DemoTorrent& t : shown) {
            kbRows += t.sizeInKb() ? 1 : 0;
        }
        EXPECT_TRUE(reply.text().contains(QLatin1String("<table class=\"torrents\"")));
        expectRowsRead(reply.text(), shown);
    }
    EXPECT_GT(kbRows, 5u);
}

TEST_F(DemoPagesTest, CatalogCarriesTheAwkwardNamesAndHrefs) {
    auto any = [&](auto predicate) {
        return std::any_of(site.torrents().begin(), site.torrents().end(), predicate);
    };
    EXPECT_TRUE(
        any([](const DemoTorrent& t) { return t.nameHtml.contains(QLatin1String("&amp;")); }));
    EXPECT_TRUE(any([](const DemoTorrent& t) { return t.nameHtml.contains(QLatin1String("&#")); }));
    EXPECT_TRUE(any([](const DemoTorrent& t) { return t.nameHtml.contains(QChar(0x00E9)); }));
    EXPECT_TRUE(any([](const DemoTorrent& t) { return t.name.contains(QChar(0x6771)); }));  // CJK
    EXPECT_TRUE(any([](const DemoTorrent& t) { return t.name.contains(QLatin1Char('"')); }));
    EXPECT_TRUE(
        any([](const DemoTorrent& t) { return t.downloadHref.contains(QLatin1Char(' ')); }));
    EXPECT_TRUE(
        any([](const DemoTorrent& t) { return t.downloadHref.contains(QLatin1String("%20")); }));
    EXPECT_TRUE(
        any([](const DemoTorrent& t) { return t.downloadHref.contains(QLatin1String("&amp;")); }));
    std::set<int> categories;
    for (const DemoTorrent& t : site.torrents()) {
        categories.insert(t.categoryId);
    }
    EXPECT_EQ(categories.size(), DemoSite::categories().size());
}

TEST_F(DemoPagesTest, KbRowFailsThePatternOnItsOwnAndLeavesItsNeighbours) {
    const DemoTorrent* kb = nullptr;
    for (const DemoTorrent& t : site.torrents()) {
        kb = (!kb && t.sizeInKb()) ? &t : kb;
    }
    ASSERT_NE(kb, nullptr);
    QString path;
    for (int page = 1; path.isEmpty(); ++page) {
        ASSERT_LE(page, site.pageCount(ListingQuery{{kb->categoryId}, {}, false, {}, 1}));
        const QString candidate = QStringLiteral("/torrents/browse/index/categories/%1/page/%2")
                                      .arg(kb->categoryId)
                                      .arg(page);
        const auto rows = site.listing(candidate);
        if (std::any_of(rows.begin(), rows.end(),
                        [&](const DemoTorrent& t) { return t.id == kb->id; })) {
            path = candidate;
        }
    }
    const QString listing = client->get(path).text();
    const qsizetype start = listing.indexOf(QStringLiteral("<tr class=\"torrentRow small\""));
    const qsizetype end = listing.indexOf(QLatin1String("</tr>"), start);
    ASSERT_GE(start, 0);
    const QString kbRow = listing.mid(start, end + 5 - start);
    EXPECT_TRUE(kbRow.contains(QLatin1String(" KB</td>")));
    EXPECT_TRUE(icuMatches(kbRow, kRowPattern).empty());
    expectRowsRead(listing, site.listing(path));
}

TEST_F(DemoPagesTest, ListingHonoursCategoriesOrderDirectionSearchAndPage) {
    // A search for an accented word of some name, in capitals and percent-escaped.
    QString word;
    for (const DemoTorrent& t : site.torrents()) {
        for (const QString& w :
             QString(t.name).replace(QLatin1Char('.'), QLatin1Char(' ')).split(QLatin1Char(' '))) {
            if (word.isEmpty() && w.size() > 3 &&
                std::any_of(w.begin(), w.end(), [](QChar c) { return c.unicode() >= 128; }) &&
                std::all_of(w.begin(), w.end(), [](QChar c) { return c.isLetter(); })) {
                word = w;
            }
        }
    }
    ASSERT_FALSE(word.isEmpty());
    const QString accented = QStringLiteral("/torrents/browse/index/query/") +
                             QString::fromLatin1(QUrl::toPercentEncoding(word.toUpper())) +
                             QStringLiteral("/orderby/leechers/page/1");
    const QStringList paths = {
        QStringLiteral("/torrents/browse"),
        QStringLiteral("/torrents/browse/index/categories/13,26/page/1"),
        QStringLiteral("/torrents/browse/index/categories/2/orderby/size/order/asc/page/2"),
        QStringLiteral("/torrents/browse/index/orderby/seeders/order/desc/page/1"),
        QStringLiteral("/torrents/browse/index/order/asc/page/3"),
        QStringLiteral("/torrents/browse/index/query/iron%20VALLEY/"),
        QStringLiteral("/torrents/browse/index/query/iron%20valley/"),
        accented,
        DemoSite::favoritesPath(2),
    };
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        const Reply reply = client->get(path);
        ASSERT_EQ(reply.status, 200);
        EXPECT_NE(titleOf(reply.text()), site.loginTitle());
        const std::vector<DemoTorrent> shown = site.listing(path);
        EXPECT_FALSE(shown.empty());
        expectRowsRead(reply.text(), shown);
    }
    const auto bySize =
        site.listing(QStringLiteral("/torrents/browse/index/orderby/size/order/asc/page/1"));
    EXPECT_TRUE(std::is_sorted(
        bySize.begin(), bySize.end(),
        [](const DemoTorrent& a, const DemoTorrent& b) { return a.sizeBytes < b.sizeBytes; }));
    for (const DemoTorrent& t :
         site.listing(QStringLiteral("/torrents/browse/index/categories/2/page/1"))) {
        EXPECT_TRUE(t.categoryId == 26 || t.categoryId == 27 || t.categoryId == 32);
    }
    for (const DemoTorrent& t : site.listing(accented)) {
        EXPECT_TRUE(t.name.contains(word, Qt::CaseInsensitive));
    }
    EXPECT_EQ(site.listing(QStringLiteral("/torrents/browse/index/query/iron%20VALLEY/")).size(),
              site.listing(QStringLiteral("/torrents/browse/index/query/iron%20valley/")).size());
}

TEST_F(DemoPagesTest, MemberBarReadsNameRatioAndTotals) {
    site.addMember(DemoMember{QStringLiteral("quietfox2"), QStringLiteral("pw"),
                              QStringLiteral("77"), QStringLiteral("2."), QStringLiteral("5 MB"),
                              QStringLiteral("1.5 TB"), 0, true});
    struct Case {
        QString user, password, linkText, ratio, up, upUnit, down, downUnit;
    };
    const Case cases[] = {
        {site.memberName(), site.memberPassword(),
         QStringLiteral("<span class=\"user\" style=\"color:#9cf\">demo</span>"),
         QStringLiteral("1.234"), QStringLiteral("120.5"), QStringLiteral("GB"),
         QStringLiteral("97.66"), QStringLiteral("GB")},
        {QStringLiteral("quietfox2"), QStringLiteral("pw"), QStringLiteral("  quietfox2\t"),
         QStringLiteral("2."), QStringLiteral("5"), QStringLiteral("MB"), QStringLiteral("1.5"),
         QStringLiteral("TB")},
    };
    for (const Case& c : cases) {
        SiteClient member(site.siteHost());
        ASSERT_EQ(member.signIn(c.user, c.password).status, 302);
        for (const QString& path : {QStringLiteral("/"), QStringLiteral("/torrents/browse")}) {
            const QStringList g = icuFirstMatch(member.get(path).text(), kMemberBarPattern);
            ASSERT_EQ(g.size(), 7) << path.toStdString();
            EXPECT_EQ(g[1], c.linkText);
            EXPECT_EQ(QStringList({g[2], g[3], g[4], g[5], g[6]}),
                      QStringList({c.ratio, c.up, c.upUnit, c.down, c.downUnit}));
        }
    }
}

TEST_F(DemoPagesTest, DetailsPageCutsToHeadAndTorrentBlock) {
    const DemoTorrent* withImdb = nullptr;
    const DemoTorrent* without = nullptr;
    for (const DemoTorrent& t : site.torrents()) {
        (t.imdbId.isEmpty() ? without : withImdb) = &t;
    }
    ASSERT_TRUE(withImdb && without);
    for (const DemoTorrent* t : {withImdb, without}) {
        // Clients join "http://host/" and the href, giving two slashes.
        const Reply reply = client->get(QLatin1Char('/') + t->detailsHref);
        ASSERT_EQ(reply.status, 200);
        const QString page = reply.text();
        EXPECT_EQ(page.count(QLatin1String("<div id=\"pageTools\">")), 2);
        const QStringList cut = icuFirstMatch(page, kDetailsCutPattern);
        ASSERT_EQ(cut.size(), 3);
        EXPECT_TRUE(cut[1].endsWith(QLatin1String("<body>\n")));
        EXPECT_TRUE(cut[2].startsWith(QLatin1String("<div id=\"torrent\">\n<h2>") + t->nameHtml));
        const QStringList imdb =
            icuFirstMatch(cut[2], QStringLiteral("['\"](http://www.imdb.com/.*?)['\"]"));
        if (t->imdbId.isEmpty()) {
            EXPECT_TRUE(imdb.isEmpty());
        } else {
            ASSERT_EQ(imdb.size(), 2);
            EXPECT_EQ(imdb[1], QStringLiteral("http://www.imdb.com/title/%1/").arg(t->imdbId));
        }
        QString cleaned =
            icuRemoveAll(cut[1] + cut[2], QStringLiteral("<div id=\"pageTools\">[\\s\\S]*?</div>"));
        cleaned =
            icuRemoveAll(cleaned, QStringLiteral("<button id=\"downloadButton\">[\\s\\S]*?</div>"));
        EXPECT_FALSE(cleaned.contains(QLatin1String("pageTools")));
        EXPECT_FALSE(cleaned.contains(QLatin1String("downloadButton")));
        EXPECT_FALSE(cleaned.contains(QLatin1String("memberBar")));
        EXPECT_TRUE(cleaned.contains(QLatin1String("<link rel=\"stylesheet\"")));
    }
    EXPECT_EQ(client->get(QStringLiteral("/torrent/1/nothing")).status, 404);
}

TEST_F(DemoPagesTest, ProfilePageHasTheProfileBlockOnlyForKnownMembers) {
    const QStringList known =
        icuFirstMatch(client->get(QStringLiteral("/profile/Mr%20Kim")).text(), kProfileCutPattern);
    ASSERT_EQ(known.size(), 3);
    EXPECT_TRUE(known[2].startsWith(QLatin1String("<div id=\"profile\">\n<h2>Mr Kim</h2>")));
    const Reply unknown = client->get(QStringLiteral("/profile/nobody%20here"));
    EXPECT_EQ(unknown.status, 200);
    EXPECT_TRUE(unknown.text().contains(QLatin1String("No such member")));
    EXPECT_TRUE(icuFirstMatch(unknown.text(), kProfileCutPattern).isEmpty());
}

TEST_F(DemoPagesTest, ForumNeedsNoSessionAndIsLoggedWithItsUserAgent) {
    SiteClient forum(site.forumHost());
    const Reply index = forum.get(QStringLiteral("/"));
    ASSERT_EQ(index.status, 200);
    EXPECT_TRUE(index.text().contains(QLatin1String("<a href=\"/thread/1\">")));
    EXPECT_TRUE(index.text().contains(QStringLiteral("http://%1/").arg(site.siteHost())));
    EXPECT_EQ(forum.get(QStringLiteral("/thread/2")).status, 200);
    const auto log = site.requestLog(QStringLiteral("forum"));
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].method, QLatin1String("GET"));
    EXPECT_EQ(log[0].target, QLatin1String("/"));
    EXPECT_EQ(log[0].userAgent(), QLatin1String("demo-site-test"));
}

TEST_F(DemoPagesTest, CrlfSwitchRewritesEveryLineEnd) {
    site.setCrlf(true);
    const QString path = QStringLiteral("/torrents/browse/index/page/1");
    const QString page = client->get(path).text();
    EXPECT_EQ(page.count(QLatin1Char('\n')), page.count(QLatin1String("\r\n")));
    EXPECT_GT(page.count(QLatin1String("\r\n")), 50);
    expectRowsRead(page, site.listing(path));
    EXPECT_EQ(icuFirstMatch(page, kMemberBarPattern).value(2), QLatin1String("1.234"));
}

}  // namespace
}  // namespace pelloran::demo::test

// The search list against the demo site: nothing until a search, the query's path, paging,
// and a second search replacing the first.

#include "lists_fixture.h"

#include "lists/search_list_view_controller.h"
#include "store/settings_keys.h"
#include "ui/search_bar.h"

#include <QLineEdit>

namespace pelloran::test {
namespace {

using SearchListTest = ListsTest;

QStringList searchPaths(const demo::DemoSite& site) {
    QStringList out;
    for (const demo::LoggedRequest& r : site.requestLog(QStringLiteral("site"))) {
        if (r.path.startsWith(QLatin1String("/torrents/browse/index/query/"))) {
            out.append(r.path);
        }
    }
    return out;
}

TEST_F(SearchListTest, SearchesPageByPageAndANewSearchReplacesTheRows) {
    ASSERT_NO_FATAL_FAILURE(launch());
    open(2);
    auto* search = screen<SearchListViewController>(2);
    EXPECT_FALSE(search->model()->hasTorrentData());
    search->didRefresh();  // nothing to refresh before the first search
    EXPECT_TRUE(searchPaths(site).isEmpty());
    EXPECT_FALSE(search->searchBar()->field()->inputMethodHints() & Qt::ImhPreferUppercase);
    EXPECT_TRUE(search->searchBar()->field()->inputMethodHints() & Qt::ImhNoAutoUppercase);

    search->searchBar()->field()->setText(QStringLiteral("the"));
    QTest::keyClick(search->searchBar()->field(), Qt::Key_Return);
    ASSERT_TRUE(waitIdle(search));
    const QString page1 = QStringLiteral("/torrents/browse/index/query/the/");
    EXPECT_EQ(searchPaths(site), QStringList{page1});  // page 1 has no page piece
    const QStringList first = names(site.listing(page1));
    EXPECT_EQ(names(search), first);
    ASSERT_TRUE(search->model()->hasLoadMoreRow());
    search->didSelectRow(search->model()->rowCount() - 1);
    ASSERT_TRUE(waitIdle(search));
    const QString page2 = page1 + QStringLiteral("page/2");
    EXPECT_EQ(searchPaths(site).last(), page2);
    EXPECT_EQ(names(search), first + names(site.listing(page2)));

    // Two words: a space goes as %20. The new search replaces every row of the last one.
    search->searchBar()->field()->setText(QStringLiteral("salt and"));
    search->searchBarSearchButtonClicked();
    ASSERT_TRUE(waitIdle(search));
    const QString other = QStringLiteral("/torrents/browse/index/query/salt%20and/");
    EXPECT_EQ(searchPaths(site).last(), other);
    EXPECT_EQ(names(search), names(site.listing(other)));
    EXPECT_FALSE(names(search).isEmpty());
    EXPECT_EQ(search->currentPage(), 1);
}

TEST_F(SearchListTest, TheSearchSettingsGoIntoThePath) {
    ASSERT_NO_FATAL_FAILURE(launch([](SettingsStore& s) {
        s.setValue(keys::searchCategories, QStringLiteral("8,13"));
        s.setValue(keys::searchOrderBy, QStringLiteral("orderby/size"));
        s.setValue(keys::searchSortBy, QStringLiteral("asc"));
    }));
    open(2);
    auto* search = screen<SearchListViewController>(2);
    search->searchBar()->field()->setText(QStringLiteral("the"));
    search->searchBarSearchButtonClicked();
    ASSERT_TRUE(waitIdle(search));
    EXPECT_EQ(
        searchPaths(site),
        QStringList{"/torrents/browse/index/query/the/categories/8,13/orderby/size/order/asc/"});
}

}  // namespace
}  // namespace pelloran::test

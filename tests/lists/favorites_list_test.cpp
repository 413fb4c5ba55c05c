// The favorites list against the demo site: a block of pages scanned in parallel and shown in
// page order, filtered by the saved keywords, the next block on load-more, a lost session in
// the middle of a scan; and the filter edit screen.

#include "lists_fixture.h"

#include "lists/edit_favorite_list_view_controller.h"
#include "lists/favorite_compose_view_controller.h"
#include "lists/favorite_list_view_controller.h"
#include "remote/server_info.h"
#include "store/settings_keys.h"
#include "ui/header_view.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QToolButton>

namespace pelloran::test {
namespace {

using FavoritesListTest = ListsTest;

// Every row of favorites pages first..last, in page order.
QStringList favoritePages(const demo::DemoSite& site, int first, int last) {
    QStringList out;
    for (int page = first; page <= last; ++page) {
        for (const demo::DemoTorrent& t :
             demo::DemoSite::clientRows(site.listing(demo::DemoSite::favoritesPath(page)))) {
            out.append(t.name);
        }
    }
    return out;
}

void storeFavorites(SettingsStore& settings, const QString& pages, const QStringList& filters) {
    settings.setValue(keys::favoritesCount, pages);
    settings.setValue(keys::filters, filters);
}

TEST_F(FavoritesListTest, PagesShowInPageOrderWhenPageThreeArrivesLast) {
    ASSERT_NO_FATAL_FAILURE(
        launch([](SettingsStore& s) { storeFavorites(s, QStringLiteral("5"), {QString()}); }));
    site.setListingDelay(3, 1500);
    site.clearRequestLog();
    open(1);
    auto* favorites = screen<FavoriteListViewController>(1);
    ASSERT_TRUE(waitIdle(favorites));
    EXPECT_EQ(names(favorites), favoritePages(site, 1, 5));  // an empty keyword keeps every row
    EXPECT_EQ(favorites->currentPage(), 4);
    // Page 3 was answered last, yet it was asked with the others.
    for (int page = 1; page <= 5; ++page) {
        EXPECT_EQ(requestsFor(demo::DemoSite::favoritesPath(page)), 1) << page;
    }
    site.setListingDelay(3, 0);

    ASSERT_TRUE(favorites->model()->hasLoadMoreRow());
    favorites->didSelectRow(favorites->model()->rowCount() - 1);
    ASSERT_TRUE(waitIdle(favorites));
    EXPECT_EQ(requestsFor(demo::DemoSite::favoritesPath(6)), 1);
    EXPECT_EQ(requestsFor(demo::DemoSite::favoritesPath(10)), 1);
    EXPECT_EQ(requestsFor(demo::DemoSite::favoritesPath(11)), 0);
    EXPECT_EQ(favorites->currentPage(), 9);
    EXPECT_EQ(names(favorites), favoritePages(site, 1, 10));
}

TEST_F(FavoritesListTest, OnlyRowsAKeywordAcceptsAndNoneWithoutFilters) {
    ASSERT_NO_FATAL_FAILURE(launch([](SettingsStore& s) {
        storeFavorites(s, QStringLiteral("3"),
                       {QStringLiteral("XviD"), QStringLiteral("720p|1080p")});
    }));
    open(1);
    auto* favorites = screen<FavoriteListViewController>(1);
    ASSERT_TRUE(waitIdle(favorites));
    QStringList expected;
    for (const QString& name : favoritePages(site, 1, 3)) {
        if (name.contains(QLatin1String("XviD")) || name.contains(QLatin1String("720p")) ||
            name.contains(QLatin1String("1080p"))) {
            expected.append(name);
        }
    }
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(names(favorites), expected);
    EXPECT_TRUE(favorites->model()->hasLoadMoreRow());

    // Filters changed elsewhere apply to the pages fetched from then on: with none, no row.
    app->settings().setValue(keys::filters, QStringList{});
    app->settings().flush();
    open(0);
    open(1);
    favorites->didRefresh();
    ASSERT_TRUE(waitIdle(favorites));
    EXPECT_EQ(favorites->model()->recordCount(), 0);
    EXPECT_TRUE(favorites->model()->hasLoadMoreRow());  // the last page had rows
}

TEST_F(FavoritesListTest, ALostSessionCostsOneSilentSignInAndEveryPageStillArrivesInOrder) {
    ASSERT_NO_FATAL_FAILURE(
        launch([](SettingsStore& s) { storeFavorites(s, QStringLiteral("10"), {QString()}); }));
    const int signInsBefore = app->loginPostCount();
    site.expireAllSessions();
    open(1);
    auto* favorites = screen<FavoriteListViewController>(1);
    ASSERT_TRUE(waitIdle(favorites));
    EXPECT_EQ(app->loginPostCount(), signInsBefore + 1);
    EXPECT_EQ(names(favorites), favoritePages(site, 1, 10));
    EXPECT_TRUE(app->root().isMainInterfaceShown());
}

TEST_F(FavoritesListTest, TheFilterScreenAddsKeepsOrderAndDeletes) {
    ASSERT_NO_FATAL_FAILURE(launch());
    open(1);
    auto* favorites = screen<FavoriteListViewController>(1);
    NavigationStack* stack = app->tabBar()->navigationStack(1);
    QTest::mouseClick(favorites->headerView()->filtersButton(), Qt::LeftButton);
    auto* edit = dynamic_cast<EditFavoriteListViewController*>(stack->topViewController());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->title(), QStringLiteral("Favorite filters"));
    EXPECT_FALSE(stack->isNavigationBarHidden());

    // No filter yet: the compose screen is already up.
    FavoriteComposeViewController* compose = edit->composeScreen();
    ASSERT_NE(compose, nullptr);
    EXPECT_TRUE(compose->isVisible());
    compose->newItem()->setText(QStringLiteral("x264"));
    compose->updateList();
    ASSERT_TRUE(AppDriver::waitUntil([&] { return edit->composeScreen() == nullptr; }, 5000));

    // ")(" is no pattern on its own but a valid piece of the one a keyword is looked for with.
    for (const QString& keyword : {QStringLiteral("720p|1080p"), QStringLiteral(")("), QString()}) {
        edit->addFavorite();
        edit->composeScreen()->newItem()->setText(keyword);
        edit->composeScreen()->updateList();
        ASSERT_TRUE(AppDriver::waitUntil([&] { return edit->composeScreen() == nullptr; }, 5000));
    }
    // A keyword that can't be a pattern is refused, and the screen stays for a correction.
    edit->addFavorite();
    compose = edit->composeScreen();
    compose->newItem()->setText(QStringLiteral("(720p"));
    compose->updateList();
    EXPECT_EQ(edit->composeScreen(), compose);
    EXPECT_FALSE(compose->errorLabel()->text().isEmpty());
    compose->cancel();
    ASSERT_TRUE(AppDriver::waitUntil([&] { return edit->composeScreen() == nullptr; }, 5000));

    const QStringList added = {"x264", "720p|1080p", ")(", ""};
    EXPECT_EQ(edit->filters(), added);
    EXPECT_EQ(SettingsStore(app->homePath()).stringList(keys::filters), added);

    // Delete removes the current row, from the screen and the store at once.
    edit->tableView()->setCurrentIndex(edit->tableView()->model()->index(1, 0));
    QTest::keyClick(edit->tableView(), Qt::Key_Delete);
    EXPECT_EQ(edit->filters(), (QStringList{"x264", ")(", ""}));
    edit->deleteRow(2);
    edit->deleteRow(1);
    edit->deleteRow(0);
    EXPECT_TRUE(edit->filters().isEmpty());
    // The last one gone leaves an empty list stored, not a missing one.
    EXPECT_EQ(SettingsStore(app->homePath()).stringList(keys::filters), QStringList{});

    // A keyword with a route shows where what it accepts goes, in the chosen client's words.
    app->services().server().setClient(QStringLiteral("Deluge"));
    edit->didUpdateList(QStringLiteral("FLAC"), PushOptions{QStringLiteral("Music"), {}, {}, true});
    const QAbstractItemModel* rows = edit->tableView()->model();
    EXPECT_EQ(rows->data(rows->index(0, 0)).toString(),
              QStringLiteral("FLAC  \u2192 label Music; paused"));
    EXPECT_EQ(edit->filters(), QStringList{QStringLiteral("FLAC")});
}

}  // namespace
}  // namespace pelloran::test

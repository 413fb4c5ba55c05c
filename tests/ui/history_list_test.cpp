// The download history tab: newest first, deleting from the store and the list together.

#include "lists/history_list_view_controller.h"
#include "remote/download_history.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>

#include <QListView>
#include <QTest>

namespace pelloran {
namespace {

class HistoryListTest : public ::testing::Test {
protected:
    HistoryListTest() : settings(home.path()), history(settings) {
        context.remote.history = &history;
    }
    void store(const QStringList& oldestFirst) {
        settings.setValue(keys::torrentHistory, oldestFirst);
    }
    QStringList rows(const HistoryListViewController& screen) {
        QStringList out;
        for (int r = 0; r < screen.model()->rowCount(); ++r) {
            out.append(screen.model()->index(r).data().toString());
        }
        return out;
    }
    QStringList stored() {
        SettingsStore reread(home.path());  // what the file holds: the change was flushed
        return reread.stringList(keys::torrentHistory).value_or(QStringList());
    }

    test::TempHome home;
    SettingsStore settings;
    DownloadHistory history;
    ScreenContext context;
};

TEST_F(HistoryListTest, NewestFirstAndRefreshedEachTimeItShows) {
    HistoryListViewController empty(context);
    EXPECT_TRUE(rows(empty).isEmpty());
    EXPECT_EQ(empty.tabTitle(), QStringLiteral("D/l History"));
    EXPECT_EQ(empty.tabImageName(), QStringLiteral("tabbar-snatch.png"));

    store({"X", "Y", "Z"});
    HistoryListViewController screen(context);
    EXPECT_EQ(rows(screen), (QStringList{"Z", "Y", "X"}));
    history.append(QStringLiteral("W"));
    EXPECT_EQ(rows(screen).size(), 3);  // pushes show up at the next showing
    screen.viewWillAppear();
    EXPECT_EQ(rows(screen), (QStringList{"W", "Z", "Y", "X"}));
}

TEST_F(HistoryListTest, DeletingARowRemovesThatEntryFromStoreAndList) {
    store({"X", "Y", "Z"});
    HistoryListViewController screen(context);
    screen.deleteRow(0);
    EXPECT_EQ(rows(screen), (QStringList{"Y", "X"}));
    EXPECT_EQ(stored(), (QStringList{"X", "Y"}));

    // The Delete key on the current row does the same.
    screen.resize(320, 400);
    screen.show();
    screen.listView()->setCurrentIndex(screen.model()->index(1));
    QTest::keyClick(screen.listView(), Qt::Key_Delete);
    EXPECT_EQ(rows(screen), (QStringList{"Y"}));
    EXPECT_EQ(stored(), (QStringList{"Y"}));
}

TEST_F(HistoryListTest, DuplicatesAreRowsOfTheirOwnAndALatePushDoesNotShiftTheRow) {
    store({"A", "B", "A"});
    HistoryListViewController screen(context);
    screen.deleteRow(2);  // the older "A"
    EXPECT_EQ(rows(screen), (QStringList{"A", "B"}));
    EXPECT_EQ(stored(), (QStringList{"B", "A"}));

    // A push lands after the list was loaded: row 0 still means the "A" the member sees.
    history.append(QStringLiteral("C"));
    screen.deleteRow(0);
    EXPECT_EQ(rows(screen), (QStringList{"B"}));
    EXPECT_EQ(stored(), (QStringList{"B", "C"}));
}

}  // namespace
}  // namespace pelloran

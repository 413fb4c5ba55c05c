// The browse and search display settings: the selectors and category switches, and the stored
// strings they round-trip through.

#include "settings/display_settings_state.h"
#include "settings/display_settings_view_controller.h"
#include "site/category_table.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "support/temp_home.h"
#include "ui/segmented_control.h"
#include "ui/toggle_switch.h"

#include <gtest/gtest.h>

#include <QTest>

namespace pelloran {
namespace {

constexpr int kCam = 8;
constexpr int kHd = 13;

class DisplaySettingsTest : public ::testing::Test {
protected:
    // What the file holds: every change is flushed at once.
    std::optional<QString> stored(QLatin1StringView key) {
        return SettingsStore(home.path()).string(key);
    }
    void store(QLatin1StringView key, const QString& value) {
        settings.setValue(key, value);
        settings.flush();
    }

    test::TempHome home;
    SettingsStore settings{home.path()};
};

TEST_F(DisplaySettingsTest, FirstBrowseVisitShowsDateDescAndNoCategoryAndWritesNothing) {
    DisplaySettingsState state(settings, ListingKind::Browse);
    DisplaySettingsViewController screen(state);
    EXPECT_EQ(screen.title(), QStringLiteral("All Torrents Settings"));
    EXPECT_EQ(screen.orderSelector()->titles(),
              (QStringList{"Date", "Size", "Seeders", "Leechers"}));
    EXPECT_EQ(screen.orderSelector()->selectedIndex(), 0);
    EXPECT_EQ(screen.sortSelector()->titles(), (QStringList{"Desc", "Asc"}));
    EXPECT_EQ(screen.sortSelector()->selectedIndex(), 0);
    int switches = 0;
    for (const Category& c : categoryTable()) {
        ToggleSwitch* s = screen.categorySwitch(c.id);
        EXPECT_EQ(s == nullptr, c.isHeader()) << c.name.toStdString();
        if (s) {
            EXPECT_FALSE(s->isChecked());
            ++switches;
        }
    }
    EXPECT_EQ(switches, 27);
    for (QLatin1StringView key : {keys::orderBy, keys::sortBy, keys::categories}) {
        EXPECT_FALSE(stored(key)) << key.data();
    }
}

TEST_F(DisplaySettingsTest, SwitchesStoreTheirIdsInTableOrderAndRoundTrip) {
    {
        DisplaySettingsState state(settings, ListingKind::Browse);
        DisplaySettingsViewController screen(state);
        screen.categorySwitch(kHd)->click();
        screen.categorySwitch(kCam)->click();
        EXPECT_EQ(stored(keys::categories), QStringLiteral("8,13"));  // table order, not tap order
        screen.categorySwitch(kCam)->click();
        EXPECT_EQ(stored(keys::categories), QStringLiteral("13"));
        screen.categorySwitch(kHd)->click();
        EXPECT_EQ(stored(keys::categories), QString(""));  // every switch off: "", not absent
    }
    struct Case {
        QString stored;
        QList<int> on;
    };
    const Case cases[] = {
        {QStringLiteral("8,abc,13"), {kCam, kHd}},
        {QStringLiteral("99"), {}},
        {QStringLiteral("0,5, 7"), {5, 7}},
        {allCategoriesSetting(), {}},  // checked below: all of them
    };
    for (const Case& c : cases) {
        store(keys::categories, c.stored);
        DisplaySettingsState state(settings, ListingKind::Browse);
        DisplaySettingsViewController screen(state);
        QList<int> on;
        for (const Category& cat : categoryTable()) {
            if (ToggleSwitch* s = screen.categorySwitch(cat.id); s && s->isChecked()) {
                on.append(cat.id);
            }
        }
        if (c.stored == allCategoriesSetting()) {
            EXPECT_EQ(on.size(), 27);
        } else {
            EXPECT_EQ(on, c.on) << c.stored.toStdString();
        }
        // Reading it changed nothing; a switch turned on and off again stores the clean form.
        EXPECT_EQ(stored(keys::categories), c.stored);
        screen.categorySwitch(kCam)->click();
        screen.categorySwitch(kCam)->click();
        EXPECT_EQ(stored(keys::categories), categoriesSetting(on)) << c.stored.toStdString();
    }
}

TEST_F(DisplaySettingsTest, OrderAndSortAreStoredAsTheirPathPieces) {
    store(keys::orderBy, QStringLiteral("orderby/bogus"));
    DisplaySettingsState state(settings, ListingKind::Browse);
    DisplaySettingsViewController screen(state);
    EXPECT_EQ(screen.orderSelector()->selectedIndex(), -1);  // matches no option: none chosen
    screen.orderSelector()->setFocus();
    QTest::keyClick(screen.orderSelector(), Qt::Key_Right);
    EXPECT_EQ(stored(keys::orderBy), QStringLiteral(""));  // "Date"
    QTest::keyClick(screen.orderSelector(), Qt::Key_Right);
    EXPECT_EQ(stored(keys::orderBy), QStringLiteral("orderby/size"));
    QTest::keyClick(screen.sortSelector(), Qt::Key_Right);
    EXPECT_EQ(stored(keys::sortBy), QStringLiteral("asc"));

    // The next visit shows what is stored by then, not what this screen last chose.
    store(keys::sortBy, QStringLiteral("desc"));
    DisplaySettingsViewController again(state);
    again.viewWillAppear();
    EXPECT_EQ(again.orderSelector()->selectedIndex(), 1);
    EXPECT_EQ(again.sortSelector()->selectedIndex(), 0);
}

TEST_F(DisplaySettingsTest, AnotherProgramsChoicesAreShownAndSurviveTheMembersSwitch) {
    store(keys::categories, QStringLiteral("8"));
    DisplaySettingsState state(settings, ListingKind::Browse);
    DisplaySettingsViewController screen(state);
    screen.viewWillAppear();
    EXPECT_TRUE(screen.categorySwitch(kCam)->isChecked());

    SettingsStore other(home.path());  // the command line, say, while the screen is open
    other.setValue(keys::categories, QStringLiteral("5,8"));
    other.setValue(keys::orderBy, QStringLiteral("orderby/seeders"));
    ASSERT_TRUE(other.flush());
    screen.categorySwitch(kHd)->click();  // only this category changes
    EXPECT_EQ(stored(keys::categories), QStringLiteral("8,13,5"));
    EXPECT_EQ(stored(keys::orderBy), QStringLiteral("orderby/seeders"));

    other.refresh();
    other.setValue(keys::categories, QStringLiteral("7"));
    ASSERT_TRUE(other.flush());
    DisplaySettingsViewController visit(state);
    visit.viewWillAppear();
    EXPECT_FALSE(visit.categorySwitch(kCam)->isChecked());
    EXPECT_TRUE(visit.categorySwitch(7)->isChecked());
    EXPECT_EQ(visit.orderSelector()->selectedIndex(), 2);
    EXPECT_EQ(stored(keys::categories), QStringLiteral("7"));  // showing wrote nothing
}

TEST_F(DisplaySettingsTest, SearchSettingsStartWithEveryCategoryAndTouchNoBrowseKey) {
    DisplaySettingsState state(settings, ListingKind::Search);
    DisplaySettingsViewController screen(state);
    EXPECT_EQ(screen.title(), QStringLiteral("Search Settings"));
    EXPECT_EQ(stored(keys::searchCategories),
              QStringLiteral("8,9,10,11,12,13,14,15,29,26,32,27,17,18,19,20,21,22,28,30,16,31,5,"
                             "23,24,25,7"));
    EXPECT_TRUE(screen.categorySwitch(kCam)->isChecked());
    EXPECT_FALSE(stored(keys::searchOrderBy));
    EXPECT_FALSE(stored(keys::searchSortBy));
    QTest::keyClick(screen.sortSelector(), Qt::Key_Right);
    screen.categorySwitch(kHd)->click();
    EXPECT_EQ(stored(keys::searchSortBy), QStringLiteral("asc"));
    EXPECT_FALSE(stored(keys::searchCategories)->contains(QStringLiteral(",13,")));
    for (QLatin1StringView key : {keys::orderBy, keys::sortBy, keys::categories}) {
        EXPECT_FALSE(stored(key)) << key.data();
    }

    // Every switch off stores ""; made again (the next run), every category is on again.
    for (const Category& c : categoryTable()) {
        if (ToggleSwitch* s = screen.categorySwitch(c.id); s && s->isChecked()) {
            s->click();
        }
    }
    EXPECT_EQ(stored(keys::searchCategories), QString(""));
    DisplaySettingsState nextRun(settings, ListingKind::Search);
    EXPECT_EQ(stored(keys::searchCategories), allCategoriesSetting());
}

TEST_F(DisplaySettingsTest, AWideWindowCentresTheColumnAndThePhoneWidthKeepsItsPositions) {
    DisplaySettingsState state(settings, ListingKind::Browse);
    DisplaySettingsViewController screen(state);
    screen.show();
    int anySwitch = 0;
    for (const Category& c : categoryTable()) {
        if (!c.isHeader()) {
            anySwitch = c.id;
        }
    }
    screen.resize(320, 480);
    const QRect order = screen.orderSelector()->geometry();
    const QRect toggle = screen.categorySwitch(anySwitch)->geometry();
    EXPECT_EQ(order.x(), 20);
    EXPECT_EQ(order.width(), 280);
    // 700 wide: the same column, 190 to the right.
    screen.resize(700, 480);
    EXPECT_EQ(screen.orderSelector()->geometry(), order.translated(190, 0));
    EXPECT_EQ(screen.categorySwitch(anySwitch)->geometry(), toggle.translated(190, 0));
}

}  // namespace
}  // namespace pelloran

// The favorites page count: shown as stored, stored once for each finished slider movement.

#include "settings/favorite_display_settings_view_controller.h"
#include "settings/favorites_count_text.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QSlider>
#include <QTest>

namespace pelloran {
namespace {

class FavoriteDisplaySettingsTest : public ::testing::Test {
protected:
    std::optional<QString> stored() {
        return SettingsStore(home.path()).string(keys::favoritesCount);
    }
    test::TempHome home;
    SettingsStore settings{home.path()};
};

TEST(FavoritesCountText, RoundsToAWholeNumberAndReadsALeadingNumber) {
    EXPECT_EQ(favoritesCountText(6.6), QStringLiteral("7"));
    EXPECT_EQ(favoritesCountText(6.4), QStringLiteral("6"));
    EXPECT_EQ(favoritesCountText(12), QStringLiteral("12"));
    EXPECT_EQ(favoritesSliderValue(QStringLiteral("12")), 12);
    EXPECT_EQ(favoritesSliderValue(QStringLiteral("7 pages")), 7);
    EXPECT_EQ(favoritesSliderValue(QStringLiteral("abc")), 0);
    EXPECT_EQ(favoritesSliderValue(QString()), 0);
}

TEST_F(FavoriteDisplaySettingsTest, EachVisitShowsTheStoredCountAndWritesNoneUnmoved) {
    settings.setValue(keys::favoritesCount, QStringLiteral("12"));
    settings.flush();
    FavoriteDisplaySettingsViewController screen(settings);
    SettingsStore other(home.path());  // another program changes the count meanwhile
    other.setValue(keys::favoritesCount, QStringLiteral("30"));
    ASSERT_TRUE(other.flush());
    screen.viewWillAppear();
    EXPECT_EQ(screen.favoritesCountValue()->text(), QStringLiteral("30"));
    EXPECT_EQ(screen.favoritesCountSlider()->value(), 30);
    screen.viewWillDisappear();
    EXPECT_EQ(stored(), QStringLiteral("30"));
}

TEST_F(FavoriteDisplaySettingsTest, ShowsFiveAtFirstAndTheStoredTextUnchanged) {
    {
        FavoriteDisplaySettingsViewController screen(settings);
        EXPECT_EQ(screen.title(), QStringLiteral("Favorites Display Settings"));
        EXPECT_EQ(screen.favoritesCountValue()->text(), QStringLiteral("5"));
        EXPECT_EQ(screen.favoritesCountSlider()->value(), 5);
        EXPECT_FALSE(stored());  // nothing written until the member moves the slider
    }
    settings.setValue(keys::favoritesCount, QStringLiteral("12"));
    FavoriteDisplaySettingsViewController screen(settings);
    EXPECT_EQ(screen.favoritesCountValue()->text(), QStringLiteral("12"));
    EXPECT_EQ(screen.favoritesCountSlider()->value(), 12);
}

TEST_F(FavoriteDisplaySettingsTest, StoresOncePerFinishedMovement) {
    FavoriteDisplaySettingsViewController screen(settings);
    QSlider* slider = screen.favoritesCountSlider();
    int writes = 0;
    // Each store flushes the file: count the flushes through what the file holds over time.
    QString last = stored().value_or(QString());
    const auto sample = [&] {
        const QString now = stored().value_or(QString());
        writes += now != last;
        last = now;
    };

    // A drag: the label follows every step, the store only the end.
    slider->setSliderDown(true);
    for (int v : {6, 8, 11, 9}) {
        slider->setSliderPosition(v);
        EXPECT_EQ(screen.favoritesCountValue()->text(), QString::number(v));
        sample();
    }
    EXPECT_EQ(writes, 0);
    slider->setSliderDown(false);
    sample();
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(stored(), QStringLiteral("9"));

    // A key step is a movement of its own.
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    sample();
    EXPECT_EQ(writes, 2);
    EXPECT_EQ(stored(), QStringLiteral("10"));
    EXPECT_EQ(screen.favoritesCountValue()->text(), QStringLiteral("10"));
}

}  // namespace
}  // namespace pelloran

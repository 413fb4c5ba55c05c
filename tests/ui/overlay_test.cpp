// The busy overlays: their layout rule, shared use by several screens, and the sending text.

#include "ui/activity_spinner.h"
#include "ui/loading_indicator.h"
#include "ui/rounded_rect_view.h"
#include "ui/sending_text.h"
#include "ui/ui_scale.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QWidget>

namespace pelloran {
namespace {

TEST(OverlayFrame, LaysOutBoxSpinnerAndLabelInPoints) {
    const QSizeF spinner(20, 20);
    struct Case {
        QSizeF label;
        QSizeF parent;
        qreal offset;
        QRectF box;
        QPointF labelAt;
    };
    const Case cases[] = {
        // 20 + 8 + 100 + 30 wide, centred, 40 high; the pair starts 15 in.
        {{100, 24}, {320, 480}, 0, {81, 220, 158, 40}, {43, 8}},
        // Positive offsets move it down, negative up.
        {{100, 24}, {320, 480}, 150, {81, 370, 158, 40}, {43, 8}},
        {{100, 24}, {320, 480}, -30, {81, 190, 158, 40}, {43, 8}},
        // No text: 38 points plus the spinner.
        {{0, 0}, {320, 480}, 0, {131, 220, 58, 40}, {43, 20}},
    };
    for (const Case& c : cases) {
        const OverlayFrame f = overlayFrame(spinner, c.label, c.parent, c.offset);
        EXPECT_EQ(f.box, c.box);
        EXPECT_EQ(f.spinner, QPointF(15, 10));
        EXPECT_EQ(f.label, c.labelAt);
    }
}

TEST(RoundedRect, RadiusNeverExceedsHalfTheSmallerSide) {
    EXPECT_EQ(RoundedRectView::effectiveRadius({200, 20}, 30), 10);
    EXPECT_EQ(RoundedRectView::effectiveRadius({16, 100}, 30), 8);
    EXPECT_EQ(RoundedRectView::effectiveRadius({200, 40}, 8), 8);
}

TEST(SendingText, NumberAndPluralOnlyForMoreThanOnePush) {
    // Three quick taps, then the three pushes finishing.
    EXPECT_EQ(sendingTextOnTap(0), QStringLiteral("Sending  torrent to server"));
    EXPECT_EQ(sendingTextOnTap(1), QStringLiteral("Sending 2 torrents to server"));
    EXPECT_EQ(sendingTextOnTap(2), QStringLiteral("Sending 3 torrents to server"));
    EXPECT_EQ(sendingTextOnFinish(2), QStringLiteral("Sending 2 torrents to server"));
    EXPECT_EQ(sendingTextOnFinish(1), QStringLiteral("Sending  torrent to server"));
    EXPECT_EQ(sendingTextOnFinish(0), QStringLiteral("Sending  torrent to server"));
}

class LoadingIndicatorTest : public ::testing::Test {
protected:
    void TearDown() override {
        LoadingIndicator::sharedInstance().hideLoadingIndicators();
        SendingTorrentIndicator::sharedInstance().hideLoadingIndicators();
    }
    static void show(LoadingIndicator& overlay, QWidget* parent, const QString& text, int offset) {
        overlay.setParentView(parent);
        overlay.setString(text);
        overlay.setOffset(offset);
        overlay.showLoadingIndicators();
    }
    QWidget window;
    QWidget first{&window};
    QWidget second{&window};
};

TEST_F(LoadingIndicatorTest, ShowPlacesTheBoxHideRemovesItAndASecondHideDoesNothing) {
    UiScale::attach(&window, UiScale(1.5));
    first.resize(480, 720);
    LoadingIndicator& overlay = LoadingIndicator::sharedInstance();
    overlay.hideLoadingIndicators();  // nothing shown: nothing happens
    EXPECT_FALSE(overlay.isShown());

    show(overlay, &first, QStringLiteral("Please wait..."), 150);
    ASSERT_TRUE(overlay.isShown());
    QWidget* box = overlay.box();
    EXPECT_EQ(box->parentWidget(), &first);
    EXPECT_EQ(box->height(), 60);  // 40 points at 1.5
    EXPECT_EQ(box->x(), (480 - box->width()) / 2);
    EXPECT_NEAR(box->y(), (720 - 60) / 2 + 150 * 1.5, 1);
    EXPECT_TRUE(box->findChild<ActivitySpinner*>()->isAnimating());

    overlay.hideLoadingIndicators();
    EXPECT_FALSE(overlay.isShown());
    EXPECT_TRUE(first.findChildren<RoundedRectView*>().isEmpty());
    overlay.hideLoadingIndicators();
    EXPECT_FALSE(overlay.isShown());
}

TEST_F(LoadingIndicatorTest, ScreensShareOneOverlayThatStaysWhereItWasFirstShown) {
    show(LoadingIndicator::sharedInstance(), &first, QStringLiteral("Please wait..."), 150);
    // Taking the shared instance resets the configuration, never what is on screen.
    LoadingIndicator& again = LoadingIndicator::sharedInstance();
    EXPECT_EQ(again.string(), QString());
    EXPECT_EQ(again.parentView(), nullptr);
    EXPECT_EQ(again.shownText(), QStringLiteral("Please wait..."));

    show(again, &second, QStringLiteral("Loading..."), 0);
    EXPECT_EQ(again.box()->parentWidget(), &first);
    EXPECT_EQ(again.shownText(), QStringLiteral("Loading..."));
    EXPECT_EQ(first.findChildren<RoundedRectView*>().size(), 1);
    EXPECT_TRUE(second.findChildren<RoundedRectView*>().isEmpty());
}

TEST_F(LoadingIndicatorTest, SendingOverlayIsASecondOverlayAndAGoneParentEndsIt) {
    auto* parent = new QWidget(&window);
    show(LoadingIndicator::sharedInstance(), &first, QStringLiteral("Loading..."), 0);
    show(SendingTorrentIndicator::sharedInstance(), parent, sendingTextOnTap(0), 50);
    EXPECT_TRUE(LoadingIndicator::sharedInstance().isShown());
    EXPECT_TRUE(SendingTorrentIndicator::sharedInstance().isShown());
    delete parent;  // the screen went away with the overlay on it
    EXPECT_FALSE(SendingTorrentIndicator::sharedInstance().isShown());
    SendingTorrentIndicator::sharedInstance().hideLoadingIndicators();
    EXPECT_TRUE(LoadingIndicator::sharedInstance().isShown());
}

}  // namespace
}  // namespace pelloran

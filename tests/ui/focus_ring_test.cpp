// The keyboard's place is always seen: each control that Tab reaches looks different while it
// has the focus (the image buttons with a borderless style, the header's buttons, the back
// button, the switch), and a click on a button that takes no focus from the mouse leaves no
// ring behind.

#include "ui/bar_image_button.h"
#include "ui/header_view.h"
#include "ui/navigation_bar.h"
#include "ui/toggle_switch.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QToolButton>

namespace pelloran {
namespace {

QImage picture(QWidget* control) {
    return control->grab().toImage();
}

TEST(FocusRing, EveryControlTheKeyboardReachesLooksFocused) {
    QWidget window;
    window.setStyleSheet(QStringLiteral("background: black;"));
    window.resize(400, 300);
    auto* header = new HeaderView(&window);
    header->setGeometry(0, 0, 320, 60);
    auto* bar = new NavigationBar(&window);
    bar->setGeometry(0, 80, 320, 44);
    bar->setBackTitle(QStringLiteral("Browse"));
    QToolButton* image =
        makeBarImageButton(QStringLiteral("back.png"), QStringLiteral("Back"), &window);
    image->move(0, 140);
    auto* toggle = new ToggleSwitch(&window);
    toggle->move(0, 200);
    auto* elsewhere = new QWidget(&window);
    elsewhere->setFocusPolicy(Qt::StrongFocus);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    const struct {
        const char* what;
        QWidget* control;
    } controls[] = {
        {"header refresh button", header->refreshButton()},
        {"back button", bar->backButton()},
        {"bar image button", image},
        {"switch", toggle},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(c.control->isVisible());
        elsewhere->setFocus(Qt::TabFocusReason);
        const QImage unfocused = picture(c.control);
        c.control->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(c.control->hasFocus());
        EXPECT_NE(picture(c.control), unfocused);
        elsewhere->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(picture(c.control), unfocused) << "the ring stayed after the focus left";
    }

    // A click on a button Tab reaches doesn't take the focus, and shows no ring.
    elsewhere->setFocus(Qt::TabFocusReason);
    const QImage before = picture(image);
    QTest::mouseClick(image, Qt::LeftButton);
    EXPECT_FALSE(image->hasFocus());
    EXPECT_EQ(picture(image), before);
}

}  // namespace
}  // namespace pelloran

#pragma once
// One picture of the app: its file name and how to get the app there. Shots run in order on
// one app, so each starts where the previous one left it.

#include "app/pelloran_window.h"
#include "support/app_driver.h"
#include "support/wait_idle.h"
#include "ui/tab_bar.h"
#include "ui/tab_bar_controller.h"
#include "ui/ui_scale.h"

#include <QImage>
#include <QString>
#include <QTest>
#include <functional>
#include <vector>

namespace pelloran::screens {

struct Shot {
    QString file;  // "login.png"
    std::function<QImage(test::AppDriver&, demo::DemoSite&)> take;
    // Asked after the picture: what the screen lacks that a working one shows ("no rows"), or
    // "" when it is all there. Every picture is also checked for being one flat colour.
    std::function<QString(test::AppDriver&)> lacks = {};
};

// The login face, the CAPTCHA, the alerts, the information page, the tab bar, the "More"
// list, the history and the overlays.
std::vector<Shot> shellShots();
// The list screens, their settings screens and the Remote Settings tab (after the shell's).
std::vector<Shot> listShots();

// The Stats screen with a month of made-up history (after the list shots).
std::vector<Shot> statsShots();

// The web screens (through the real web plugin): tabs, details, profile, the client's
// interface and the connection test.
std::vector<Shot> webShots();

// Waits until the work a step started has ended (the page it asked for is there, or its
// failure), then lets what it changed finish drawing and moving into place.
inline void settle() {
    test::waitUntilIdle();
    QTest::qWait(300);
}

// For a picture of work in progress or of an animation: `ms` pass, whatever is still running.
inline void settleFor(int ms) {
    QTest::qWait(ms);
}

// A member who widens the window: pictures of wide windows are this many points wide.
inline constexpr int kWideWindowPoints = 640;

// A picture of the window as it is now, widened to kWideWindowPoints; the window goes back to
// the phone width after it.
inline QImage wideShot(test::AppDriver& app) {
    PelloranWindow& window = app.window();
    window.resize(window.scale().px(kWideWindowPoints), window.height());
    settle();
    const QImage shot = app.grab();
    window.resize(window.scale().px(UiScale::kPhoneWidth), window.height());
    settle();
    return shot;
}

// Clicks slot `slot` of the tab bar (0 to 4, "More" last) as the member does.
inline void clickSlot(test::AppDriver& app, int slot) {
    TabBar* bar = app.tabBar()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->slotRect(slot).center());
}

}  // namespace pelloran::screens

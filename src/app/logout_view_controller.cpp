#include "app/logout_view_controller.h"

#include "ui/tab_bar_controller.h"

#include <cstdio>

namespace pelloran {

LogoutViewController::LogoutViewController(TabBarController* tabBar, std::function<void()> logout,
                                           QWidget* parent)
    : ViewController(parent), tabBar_(tabBar), logout_(std::move(logout)) {
    setTitle(QStringLiteral("Logout"));
    setTabBarItem(QStringLiteral("Logout"), QStringLiteral("tabbar-logout.png"));
}

void LogoutViewController::viewWillAppear() {
    std::fputs("viewWillAppear\n", stderr);
    if (tabBar_) {
        tabBar_->setSelectedIndex(0);
        tabBar_->popMoreToRoot();
    }
    if (logout_) {
        logout_();
    }
}

}  // namespace pelloran

#pragma once
// The "Logout" tab: an empty screen whose appearing logs the member out. It first selects tab
// 0 and takes the "More" list back to its root, so the next sign-in opens on tab 0.

#include "ui/view_controller.h"

#include <QPointer>
#include <functional>

namespace pelloran {

class TabBarController;

class LogoutViewController : public ViewController {
    Q_OBJECT
public:
    LogoutViewController(TabBarController* tabBar, std::function<void()> logout,
                         QWidget* parent = nullptr);
    void viewWillAppear() override;

private:
    QPointer<TabBarController> tabBar_;
    std::function<void()> logout_;
};

}  // namespace pelloran

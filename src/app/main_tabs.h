#pragma once
// The tabs of the main interface, in their order (the index is what Pelloran_tab stores):
//   0 All Torrents   1 Favorites   2 Search   3 My SnatchList   4 Forum   5 D/l History
//   6 Remote UI      7 Remote Settings        8 the site's host 9 Logout
//  10 Stats (after the others in the "More" list)
// Each screen sets its own tab title and image; the same stand in for them until the tab is
// first shown, when its screen is built. To give a tab its real screen, replace its line in
// main_tabs.cpp.

#include "ui/screen_context.h"

#include <functional>

namespace pelloran {

class TabBarController;

inline constexpr int kLogoutTabIndex = 9;

// Adds the tabs to `tabBar`, each screen built when its tab is first needed. `logout` is
// the root controller's logout.
void addMainTabs(TabBarController& tabBar, const ScreenContext& context,
                 std::function<void()> logout);

}  // namespace pelloran

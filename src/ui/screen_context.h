#pragma once
// What a screen needs from the running program, handed down by the root controller when it
// builds the tab bar (and by a screen to the screens it pushes). Everything pointed to outlives
// every screen.
//
//  - site, remote: the core's contexts for page fetches and pushes (remote.alerts is the
//    GUI's alert sink: background operations raise their alerts through it);
//  - scale: points to pixels;
//  - window: the application window, which page-load overlays are placed over
//    (LoadingIndicator / SendingTorrentIndicator::sharedInstance());
//  - tabBar: the main interface, whose items a screen disables while its page loads;
//  - web: the loader of the web screens' plugin (loaded on first use).

#include "remote/remote_context.h"
#include "site/site_context.h"
#include "ui/ui_scale.h"

class QWidget;

namespace pelloran {

class TabBarController;
class WebScreenLoader;

struct ScreenContext {
    SiteContext site;
    RemoteContext remote;
    UiScale scale;
    QWidget* window = nullptr;
    TabBarController* tabBar = nullptr;
    WebScreenLoader* web = nullptr;
};

}  // namespace pelloran

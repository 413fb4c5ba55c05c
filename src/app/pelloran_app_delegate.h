#pragma once
// Starts the app: records the running version, makes the window and the root controller, and
// lets the root controller show the login face (which may sign in by itself).

#include "ui/ui_scale.h"
#include "ui/web_screen_loader.h"

#include <memory>

namespace pelloran {

class Services;
class PelloranWindow;
class SwitchViewController;

class PelloranAppDelegate {
public:
    struct Options {
        qreal scale = 0;       // 0: from the screen
        int heightPoints = 0;  // 0: fit the screen
        QStringList webPluginDirs = WebScreenLoader::defaultSearchDirs();
        bool showWindow = true;
    };

    PelloranAppDelegate(Services& services, const Options& options);
    PelloranAppDelegate(Services& services);
    ~PelloranAppDelegate();

    void applicationDidFinishLaunching();

    PelloranWindow* window() const { return window_.get(); }
    SwitchViewController* viewController() const { return viewController_; }
    WebScreenLoader& webLoader() { return web_; }

private:
    Services& services_;
    Options options_;
    WebScreenLoader web_;
    std::unique_ptr<PelloranWindow> window_;
    SwitchViewController* viewController_ = nullptr;  // owned by the window
};

}  // namespace pelloran

#pragma once
// The whole program behind main(): the application object, its name and icon, the command
// line, the services, the window, and the event loop. A probe may watch the run through hooks.

#include <functional>

namespace pelloran {

class PelloranAppDelegate;

struct ApplicationHooks {
    // Called once the window exists and the login face is loaded, before the event loop runs.
    std::function<void(PelloranAppDelegate&)> launched;
};

int runApplication(int argc, char* argv[], const ApplicationHooks& hooks = {});

}  // namespace pelloran

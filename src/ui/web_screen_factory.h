#pragma once
// The seam to the web screens. They use Qt WebEngine, which is heavy, so they live in a plugin
// (pelloran_web, a module beside the executable) that the app loads only when the member first
// opens a web screen. The plugin's root object implements this interface.

#include <QtPlugin>

namespace pelloran {

class ViewController;
struct ScreenContext;

enum class WebTab { Forum, RemoteUi, Site };

class WebScreenFactory {
public:
    virtual ~WebScreenFactory() = default;
    // The screen of a web tab, made with no address; `target` is the browse screen (tab 0),
    // which the web screens report to. The caller owns the screen.
    virtual ViewController* createTabScreen(WebTab tab, const ScreenContext& context,
                                            ViewController* target) = 0;
};

}  // namespace pelloran

#define PelloranWebScreenFactory_iid "org.pelloran.WebScreenFactory/1"
Q_DECLARE_INTERFACE(pelloran::WebScreenFactory, PelloranWebScreenFactory_iid)

#pragma once
// The seam to the web screens. They use Qt WebEngine, which is heavy, so they live in a plugin
// (pelloran_web, a module beside the executable) that the app loads only when the member first
// opens a web screen. The plugin's root object implements this interface.

#include <QString>
#include <QtPlugin>

namespace pelloran {

class ListScreenTarget;
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
    // A torrent's details page (`url` is the details address), opened from row `tag` of the
    // list `target`; its download button sends that row through the list. Caller owns it.
    virtual ViewController* createDetailsScreen(const QString& url, int tag,
                                                const ScreenContext& context,
                                                ListScreenTarget* target) = 0;
    // A member's profile page (`url` is the profile address), opened from the list `target`.
    virtual ViewController* createProfileScreen(const QString& url, const ScreenContext& context,
                                                ListScreenTarget* target) = 0;
    // The remote connection test, pushed by the Remote Settings screen (`settingsScreen`): the
    // client's web interface with the test's alerts. Caller owns it.
    virtual ViewController* createRemoteTestScreen(const ScreenContext& context,
                                                   ViewController* settingsScreen) = 0;
    // The core's cookie store changed outside the web screens (a logout deleted the site's
    // session, a sign-in made a new one): the web views' cookies follow now.
    virtual void cookiesChanged() = 0;
};

}  // namespace pelloran

#define PelloranWebScreenFactory_iid "org.pelloran.WebScreenFactory/3"
Q_DECLARE_INTERFACE(pelloran::WebScreenFactory, PelloranWebScreenFactory_iid)

#pragma once
// The web screens the app asks for through the factory interface. One WebSession per window,
// made when the window's first web screen opens. The plugin's root object is one of these;
// tests make their own. UI thread only.

#include "ui/web_screen_factory.h"

#include <QList>
#include <QPointer>

namespace pelloran::web {

class WebSession;

class WebScreens : public WebScreenFactory {
public:
    WebScreens();

    ViewController* createTabScreen(WebTab tab, const ScreenContext& context,
                                    ViewController* target) override;
    ViewController* createDetailsScreen(const QString& url, int tag, const ScreenContext& context,
                                        ListScreenTarget* target) override;
    ViewController* createProfileScreen(const QString& url, const ScreenContext& context,
                                        ListScreenTarget* target) override;
    ViewController* createRemoteTestScreen(const ScreenContext& context,
                                           ViewController* settingsScreen) override;
    void cookiesChanged() override;

    // The session of the window the context names; made on first use.
    WebSession& session(const ScreenContext& context);

private:
    QList<QPointer<WebSession>> sessions_;
};

}  // namespace pelloran::web

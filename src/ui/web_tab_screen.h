#pragma once
// A web tab's place in the tab bar. It stays an empty screen with the tab's title and image
// until the member first opens it; then it asks the web plugin for the real screen and shows
// that inside itself. Loading the plugin is what brings Qt WebEngine into the process: when this
// opening is the run's first, the loading overlay shows first and the plugin loads after that
// frame.

#include "ui/placeholder_screen.h"
#include "ui/screen_context.h"
#include "ui/web_screen_factory.h"

#include <QPointer>

namespace pelloran {

class WebTabScreen : public PlaceholderScreen {
    Q_OBJECT
public:
    WebTabScreen(WebTab tab, const QString& tabTitle, const QString& imageName,
                 const ScreenContext& context, ViewController* target, QWidget* parent = nullptr);

    // The plugin's screen, once made; null before the first opening or without the plugin.
    ViewController* webScreen() const { return screen_; }
    // What the tab hands the web screens it makes (the main interface's context).
    const ScreenContext& screenContext() const { return context_; }

    void viewWillAppear() override;
    void viewWillDisappear() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void makeScreen();

    WebTab tab_;
    ScreenContext context_;
    QPointer<ViewController> target_;
    QPointer<ViewController> screen_;
    bool asked_ = false;
};

}  // namespace pelloran

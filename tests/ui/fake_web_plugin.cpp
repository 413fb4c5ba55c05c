// A stand-in for the web screens' plugin: made like the real one (a module with the factory
// interface, using the host program's classes), without a web engine.

#include "ui/view_controller.h"
#include "ui/web_screen_factory.h"

#include <QObject>

namespace {

class FakeWebScreen : public pelloran::ViewController {
public:
    explicit FakeWebScreen(const QString& title) {
        setObjectName(QStringLiteral("fakeWebScreen"));
        setTitle(title);
    }
    void viewWillAppear() override { ++appearances; }
    int appearances = 0;
};

}  // namespace

class FakeWebPlugin : public QObject, public pelloran::WebScreenFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PelloranWebScreenFactory_iid)
    Q_INTERFACES(pelloran::WebScreenFactory)

public:
    pelloran::ViewController* createTabScreen(pelloran::WebTab tab, const pelloran::ScreenContext&,
                                              pelloran::ViewController* target) override {
        const QString name = tab == pelloran::WebTab::Forum      ? QStringLiteral("Fake forum")
                             : tab == pelloran::WebTab::RemoteUi ? QStringLiteral("Fake remote")
                                                                 : QStringLiteral("Fake site");
        auto* screen = new FakeWebScreen(name);
        screen->setProperty("targetTitle", target ? target->title() : QString());
        return screen;
    }
    pelloran::ViewController* createDetailsScreen(const QString&, int,
                                                  const pelloran::ScreenContext&,
                                                  pelloran::ListScreenTarget*) override {
        return new FakeWebScreen(QStringLiteral("Fake details"));
    }
    pelloran::ViewController* createProfileScreen(const QString&, const pelloran::ScreenContext&,
                                                  pelloran::ListScreenTarget*) override {
        return new FakeWebScreen(QStringLiteral("Fake profile"));
    }
    pelloran::ViewController* createRemoteTestScreen(const pelloran::ScreenContext&,
                                                     pelloran::ViewController*) override {
        return new FakeWebScreen(QStringLiteral("Fake remote test"));
    }
    void cookiesChanged() override {}
};

#include "fake_web_plugin.moc"

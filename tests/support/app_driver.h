#pragma once
// Drives the real app in-process against a running demo site: its services in a temporary
// home, the delegate, the window (offscreen in tests), and waits that pump the event loop.
// Used by the widget tests and by the screens tool. UI thread only.

#include "remote/services.h"
#include "app/login_view_controller.h"
#include "app/pelloran_app_delegate.h"
#include "app/pelloran_window.h"
#include "app/switch_view_controller.h"
#include "demo_site.h"
#include "support/temp_home.h"
#include "ui/tab_bar_controller.h"

#include <QImage>
#include <QMessageBox>
#include <functional>
#include <memory>

namespace pelloran::test {

SiteConfig siteConfigFor(const demo::DemoSite& site);

class AppDriver {
public:
    struct Options {
        qreal scale = 1.0;
        int heightPoints = 568;
        QStringList webPluginDirs;  // none: the web tabs stay empty
        // Web screens linked into the test program, used instead of a plugin (not owned).
        WebScreenFactory* webFactory = nullptr;
        QString announceHost;  // empty: the demo site's
        // Makes the keyring the passwords go to; empty: they stay in the settings file.
        std::function<std::unique_ptr<KeyringBackend>()> keyring;
    };

    explicit AppDriver(demo::DemoSite& site);
    AppDriver(demo::DemoSite& site, const Options& options);
    ~AppDriver();

    Services& services() { return *services_; }
    SettingsStore& settings() { return services_->settings(); }
    QString homePath() const { return home_.path(); }
    // Stores the demo member's name and password (and the automatic-login choice), as a
    // member who signed in before would have them.
    void storeMemberCredentials(bool automaticLogin);

    // Starts the app: the window shows the login face, which may sign in by itself.
    void launch();
    // Ends the app's run (window, root controller, queues), keeping the services.
    void quit();

    PelloranAppDelegate& delegate() { return *delegate_; }
    SwitchViewController& root() { return *delegate_->viewController(); }
    PelloranWindow& window() { return *delegate_->window(); }
    LoginViewController* login() { return root().loginViewController(); }
    TabBarController* tabBar() { return root().tabBarController(); }

    // Pumps events until `done` holds or `ms` passed; the outcome of `done`.
    static bool waitUntil(const std::function<bool()>& done, int ms = 20000);
    bool waitForMainInterface(int ms = 20000);
    // Waits until the tab bar takes taps again (a list locks it while its page loads).
    bool waitForTabsUnlocked(int ms = 20000);
    bool waitForLoginFace(int ms = 20000);
    // The login face's alert, once open; null when none came in time.
    QMessageBox* waitForLoginAlert(int ms = 20000);
    // Waits until the login button is enabled again and no busy overlay shows.
    bool waitForLoginIdle(int ms = 20000);
    // Waits until the CAPTCHA area shows a picture; its challenge token.
    std::optional<QString> waitForCaptchaPicture(int ms = 20000);

    // Types into the login face and taps the login button.
    void signInByHand(const QString& username, const QString& password,
                      const QString& captchaAnswer = {});

    // Requests the demo site logged as POSTs to the login form.
    int loginPostCount() const;

    // The window as the member sees it, with an open alert drawn over it when given.
    QImage grab(QMessageBox* alert = nullptr);

private:
    demo::DemoSite& site_;
    Options options_;
    TempHome home_;
    std::unique_ptr<Services> services_;
    std::unique_ptr<PelloranAppDelegate> delegate_;
};

}  // namespace pelloran::test

#pragma once
// The root controller: one for the whole run. It shows either the login face or the main
// interface (the tab bar, built once per run on the first sign-in), logs out, renews a lost
// session silently, and shows the alerts that background operations raise.
//
// Threads: everything runs on the UI thread; the silent re-login runs on the renewer's queue and
// hands a failure to the UI thread.

#include "app/gui_alert_sink.h"
#include "app/login_fields.h"
#include "net/operation_queue.h"
#include "site/session_renewer.h"
#include "ui/ui_scale.h"

#include <QPointer>
#include <QWidget>
#include <memory>

#include <QMessageBox>

namespace pelloran {

class Services;
class LoginViewController;
class TabBarController;
class WebScreenLoader;

class SwitchViewController : public QWidget {
    Q_OBJECT
public:
    SwitchViewController(Services& services, WebScreenLoader* web, const QString& version,
                         QWidget* parent = nullptr);
    // Stops requests waiting for a sign-in that can no longer come, then waits for the login
    // queue.
    ~SwitchViewController() override;

    // Marks the session valid with the login face showing, shows a fresh login face and asks it
    // once to sign in by itself.
    void viewDidLoad();
    // A fresh login face (its fields filled from the store) in place of the current one.
    void loadLoginView();
    // Shows the face that is not showing.
    void switchViews();
    // Deletes the site's and the CAPTCHA service's cookies and shows a fresh login face. Does
    // nothing while the login face already shows.
    void logout();

    LoginViewController* loginViewController() const;
    TabBarController* tabBarController() const;
    // The alert a background operation raised, until the member dismisses it.
    QMessageBox* alert() const { return alert_; }
    AlertSink& alertSink() { return alertSink_; }
    bool isMainInterfaceShown() const;

Q_SIGNALS:
    // The login face or the main interface has just been put on screen.
    void faceShown(bool mainInterface);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildTabBar();
    void tabSelected(int index);
    void showAlert(const Alert& alert);
    void reloginFailed(bool captchaDemanded);
    void watchStoreNotices();
    void showStoreNotices();
    // The web views' cookies follow the core store's (after a sign-in or a logout).
    void webCookiesChanged();

    Services& services_;
    WebScreenLoader* web_;
    QString version_;
    LoginFields fields_;
    GuiAlertSink alertSink_;
    QPointer<LoginViewController> loginViewController_;
    QPointer<TabBarController> tabBarController_;
    QPointer<QMessageBox> alert_;
    std::unique_ptr<SessionRenewer> renewer_;
    // Last, so it is destroyed first: its operations call back into this object.
    OperationQueue loginQueue_{1};
};

}  // namespace pelloran

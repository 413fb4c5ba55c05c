#include "app/switch_view_controller.h"

#include "app/login_view_controller.h"
#include "app/main_tabs.h"
#include "remote/services.h"
#include "site/sign_out.h"
#include "store/settings_keys.h"
#include "ui/alert_box.h"
#include "ui/note_banner.h"
#include "ui/screen_context.h"
#include "ui/tab_bar_controller.h"
#include "ui/web_screen_factory.h"
#include "ui/web_screen_loader.h"

#include <QMessageBox>
#include <QTimer>

namespace pelloran {

SwitchViewController::SwitchViewController(Services& services, WebScreenLoader* web,
                                           const QString& version, QWidget* parent)
    : QWidget(parent),
      services_(services),
      web_(web),
      version_(version),
      alertSink_(this, [this](const Alert& alert) { showAlert(alert); }) {
    // A lost session is renewed with the stored credentials. When they no longer sign in, or
    // the session refuses more re-logins because the site keeps asking for them, the member
    // signs in by hand.
    renewer_ =
        std::make_unique<SessionRenewer>(services_.site(), [this](const SignInVerdict& verdict) {
            const bool captcha = verdict.captchaWanted;
            QMetaObject::invokeMethod(
                this, [this, captcha] { reloginFailed(captcha); }, Qt::QueuedConnection);
        });
    renewer_->install();
}

SwitchViewController::~SwitchViewController() {
    Session& session = services_.session();
    // Nobody can sign in any more: requests waiting for the session give up, and so does one
    // that meets the login page from now on.
    session.setShowLogin(false);
    session.abandonWaits();
    // Unregisters (waiting for a call of its handlers that a fetch thread may be making right
    // now) and waits for its sign-in: both call back into this object.
    renewer_.reset();
    services_.settings().notices().setListener({});
    services_.cookies().notices().setListener({});
    services_.secrets().notices().setListener({});
    services_.activity().notices().setListener({});
}

LoginViewController* SwitchViewController::loginViewController() const {
    return loginViewController_;
}

TabBarController* SwitchViewController::tabBarController() const {
    return tabBarController_;
}

void SwitchViewController::watchStoreNotices() {
    // Notices come from whichever thread wrote the file, possibly with the store's locks held:
    // they are only handed to the UI thread here.
    const auto handOn = [this](const StoreNotice&) {
        QMetaObject::invokeMethod(
            this, [this] { showStoreNotices(); }, Qt::QueuedConnection);
    };
    services_.settings().notices().setListener(handOn);
    services_.cookies().notices().setListener(handOn);
    services_.secrets().notices().setListener(handOn);
    services_.activity().notices().setListener(handOn);
}

void SwitchViewController::showStoreNotices() {
    const QList<StoreNotice> notices = services_.takeNotices();
    for (const StoreNotice& notice : notices) {
        qWarning("pelloran: %s", qUtf8Printable(notice.text));
        NoteBanner::show(window(), notice.text);
    }
}

void SwitchViewController::viewDidLoad() {
    watchStoreNotices();
    showStoreNotices();  // what the stores found while they were read at start
    services_.session().setSessionValidated(true);
    services_.session().setShowLogin(false);
    loadLoginView();
    Q_EMIT faceShown(false);
    loginViewController_->tryAutoLogin();
}

void SwitchViewController::loadLoginView() {
    LoginScreenContext context{services_.site(), &loginQueue_, &fields_, version_};
    auto* fresh = new LoginViewController(context, this);
    fresh->setGeometry(rect());
    connect(fresh, &LoginViewController::switchRequested, this, &SwitchViewController::switchViews);
    // Built while the announcement is asked rather than in the same turn that shows it: the
    // two together held the UI thread for about 50 ms.
    connect(fresh, &LoginViewController::credentialsAccepted, this, [this] {
        if (!tabBarController_) {
            buildTabBar();
            // Its first screen on a turn of its own, so that each turn stays within a frame.
            QTimer::singleShot(0, tabBarController_,
                               [bar = tabBarController_] { bar->buildSelected(); });
        }
    });
    if (loginViewController_) {
        loginViewController_->hide();
        loginViewController_->deleteLater();
    }
    loginViewController_ = fresh;
    fresh->show();
    fresh->lower();
    if (QWidget* focused = focusWidget()) {
        focused->clearFocus();
    }
}

void SwitchViewController::switchViews() {
    Session& session = services_.session();
    if (session.showLogin()) {
        loadLoginView();
        if (tabBarController_) {
            tabBarController_->notifyWillDisappear();
            tabBarController_->hide();
        }
        loginViewController_->raise();
        session.setShowLogin(false);
        Q_EMIT faceShown(false);
        return;
    }
    if (!tabBarController_) {
        buildTabBar();
    }
    if (loginViewController_) {
        loginViewController_->hide();
    }
    session.setShowLogin(true);
    session.signInAccepted();  // releases requests that waited for this sign-in
    services_.cookies().saveInBackground();
    webCookiesChanged();
    tabBarController_->setGeometry(rect());
    tabBarController_->show();
    tabBarController_->raise();
    tabBarController_->notifyWillAppear();
    Q_EMIT faceShown(true);
}

void SwitchViewController::buildTabBar() {
    tabBarController_ = new TabBarController(this);
    tabBarController_->hide();
    ScreenContext context{services_.site(),  services_.remote(&alertSink_),
                          UiScale::of(this), window(),
                          tabBarController_, web_};
    addMainTabs(*tabBarController_, context, [this] { logout(); });
    connect(tabBarController_, &TabBarController::didSelect, this,
            &SwitchViewController::tabSelected);
    // The stored tab is restored here only: later sign-ins find the bar as it was left.
    const std::optional<qint64> stored = services_.settings().integer(keys::tab);
    if (stored && *stored >= 0 && *stored < tabBarController_->count() &&
        *stored != kLogoutTabIndex) {
        tabBarController_->setSelectedIndex(int(*stored));
    }
}

void SwitchViewController::tabSelected(int index) {
    // "More" itself is not a tab: its list is never stored as the tab to come back to.
    if (index >= 0) {
        services_.settings().setValue(keys::tab, qint64(index));
        services_.settings().flush();
    }
    tabBarController_->popMoreToRoot();
}

void SwitchViewController::logout() {
    if (!services_.session().showLogin()) {
        return;
    }
    deleteSessionCookies(services_.cookies(), services_.config());
    services_.cookies().saveInBackground();
    webCookiesChanged();  // the web views sign out too
    switchViews();
}

void SwitchViewController::webCookiesChanged() {
    // No web screen has opened yet: there is nothing to follow.
    if (web_ && web_->isLoaded()) {
        web_->factory()->cookiesChanged();
    }
}

bool SwitchViewController::isMainInterfaceShown() const {
    return tabBarController_ && tabBarController_->isVisible() && services_.session().showLogin();
}

void SwitchViewController::showAlert(const Alert& alert) {
    if (services_.isNetworkClosed()) {
        // The window closed: an exchange it cut short says nothing, and no window of ours
        // opens to keep the run going.
        return;
    }
    auto shown = std::make_shared<QPointer<QMessageBox>>();
    *shown = openAlert(window(), alert.title, alert.message, alert.buttons, [this, shown](int) {
        if (alert_ == *shown) {
            alert_ = nullptr;  // dismissed: forgotten
        }
    });
    alert_ = *shown;
}

void SwitchViewController::reloginFailed(bool captchaDemanded) {
    logout();
    // Stored credentials alone can't answer a CAPTCHA: put a fresh one in front of the member
    // at once, so the first attempt by hand can succeed.
    if (captchaDemanded && loginViewController_ && !loginViewController_->captchaOn()) {
        loginViewController_->showCaptchaView();
    }
}

void SwitchViewController::resizeEvent(QResizeEvent*) {
    for (QWidget* face : {static_cast<QWidget*>(loginViewController_.data()),
                          static_cast<QWidget*>(tabBarController_.data())}) {
        if (face) {
            face->setGeometry(rect());
        }
    }
}

}  // namespace pelloran

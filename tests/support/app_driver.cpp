#include "support/app_driver.h"

#include "site/sign_in.h"
#include "store/settings_keys.h"
#include "ui/loading_indicator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>

namespace pelloran::test {

SiteConfig siteConfigFor(const demo::DemoSite& site) {
    SiteConfig c = SiteConfig::buildDefaults();
    c.siteHost = site.siteHost();
    c.forumHost = site.forumHost();
    c.cookieDomain = site.cookieDomain();
    c.captchaHost = site.captchaHost();
    c.captchaCookieDomain = site.captchaCookieDomain();
    c.announceHost = site.announceHost();
    c.loginTitle = site.loginTitle();
    return c;
}

AppDriver::AppDriver(demo::DemoSite& site) : AppDriver(site, Options{}) {}

AppDriver::AppDriver(demo::DemoSite& site, const Options& options)
    : site_(site), options_(options) {
    SiteConfig config = siteConfigFor(site);
    if (!options.announceHost.isEmpty()) {
        config.announceHost = options.announceHost;
    }
    SecretStoreChoice secrets{false, {}, {}, {}, {}};
    if (options.keyring) {
        secrets = {true, {}, std::chrono::seconds(5), {}, options.keyring};
    }
    services_ = std::make_unique<Services>(config, home_.path(), secrets);
}

AppDriver::~AppDriver() {
    quit();
}

void AppDriver::storeMemberCredentials(bool automaticLogin) {
    storeCredentials(settings(), &services_->secrets(), site_.memberName(), site_.memberPassword(),
                     automaticLogin);
}

void AppDriver::launch() {
    PelloranAppDelegate::Options o;
    o.scale = options_.scale;
    o.heightPoints = options_.heightPoints;
    o.webPluginDirs = options_.webPluginDirs;
    delegate_ = std::make_unique<PelloranAppDelegate>(*services_, o);
    if (options_.webFactory) {
        delegate_->webLoader().useFactory(options_.webFactory);
    }
    delegate_->applicationDidFinishLaunching();
}

void AppDriver::quit() {
    if (delegate_) {
        // Alerts belong to the window; close them with it.
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<QMessageBox*>(w)) {
                w->close();
            }
        }
        delegate_.reset();
        LoadingIndicator::sharedInstance().hideLoadingIndicators();
        SendingTorrentIndicator::sharedInstance().hideLoadingIndicators();
        QApplication::processEvents();
    }
}

bool AppDriver::waitUntil(const std::function<bool()>& done, int ms) {
    return QTest::qWaitFor(done, ms);
}

bool AppDriver::waitForMainInterface(int ms) {
    return waitUntil([this] { return root().isMainInterfaceShown(); }, ms);
}

bool AppDriver::waitForTabsUnlocked(int ms) {
    return waitUntil([this] { return tabBar() && tabBar()->itemsEnabled(); }, ms);
}

bool AppDriver::waitForLoginFace(int ms) {
    return waitUntil(
        [this] { return !root().isMainInterfaceShown() && login() && login()->isVisible(); }, ms);
}

QMessageBox* AppDriver::waitForLoginAlert(int ms) {
    waitUntil([this] { return login() && login()->alert(); }, ms);
    return login() ? login()->alert() : nullptr;
}

bool AppDriver::waitForLoginIdle(int ms) {
    return waitUntil(
        [this] {
            return login() && login()->loginButton()->isEnabled() &&
                   !LoadingIndicator::sharedInstance().isShown();
        },
        ms);
}

std::optional<QString> AppDriver::waitForCaptchaPicture(int ms) {
    const bool shown = waitUntil(
        [this] {
            const QLabel* picture = login() ? login()->imageView() : nullptr;
            return picture && login()->captchaOn() && !picture->pixmap().isNull() &&
                   login()->loginButton()->isEnabled();
        },
        ms);
    if (!shown) {
        return std::nullopt;
    }
    return login()->captchaChallenge();
}

void AppDriver::signInByHand(const QString& username, const QString& password,
                             const QString& captchaAnswer) {
    LoginViewController* face = login();
    face->usernameField()->setText(username);
    face->passwordField()->setText(password);
    face->captchaField()->setText(captchaAnswer);
    QTest::mouseClick(face->loginButton(), Qt::LeftButton);
}

int AppDriver::loginPostCount() const {
    int n = 0;
    for (const demo::LoggedRequest& r : site_.requestLog(QStringLiteral("site"))) {
        n += r.method == QLatin1String("POST") && r.path == QLatin1String("/user/account/login/");
    }
    return n;
}

QImage AppDriver::grab(QMessageBox* alert) {
    QApplication::processEvents();
    QImage shot = window().grab().toImage();
    if (!alert) {
        return shot;
    }
    // An alert is a window of its own: draw it over the dimmed main window, centred.
    alert->adjustSize();
    const QImage box = alert->grab().toImage();
    QPainter p(&shot);
    p.fillRect(QRect(QPoint(0, 0), shot.deviceIndependentSize().toSize()), QColor(0, 0, 0, 110));
    const QSizeF boxSize = box.deviceIndependentSize();
    const QSizeF shotSize = shot.deviceIndependentSize();
    p.drawImage(QPointF((shotSize.width() - boxSize.width()) / 2,
                        (shotSize.height() - boxSize.height()) / 2),
                box);
    return shot;
}

}  // namespace pelloran::test

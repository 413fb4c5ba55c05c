#include "app/login_view_controller.h"

#include "app/info_view.h"
#include "app/login_background.h"
#include "net/deadline.h"
#include "net/operation_queue.h"
#include "net/session.h"
#include "site/announcement_check.h"
#include "site/sign_in_step.h"
#include "site/site_config.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "ui/alert_box.h"
#include "ui/flip_transition.h"
#include "ui/image_loader.h"
#include "ui/loading_indicator.h"
#include "ui/toggle_switch.h"
#include "ui/ui_scale.h"

#include <QGraphicsOpacityEffect>
#include <QGuiApplication>
#include <QInputMethod>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPropertyAnimation>
#include <QPushButton>

namespace pelloran {

namespace {
const QString kPleaseWait = QStringLiteral("Please wait...");
const QString kLoadingImage = QStringLiteral("Loading image...");
const QString kLoginErrorTitle = QStringLiteral("Login error");
const QString kOk = QStringLiteral("OK");
const QString kPictureMissing = QStringLiteral("No picture came. Click here for another.");
const QString kPictureLoading = QStringLiteral("Loading picture\u2026");
}  // namespace

LoginViewController::LoginViewController(const LoginScreenContext& context, QWidget* parent)
    : ViewController(parent), context_(context), attempt_(context.site) {
    buildViews();
    const SettingsStore& settings = *context_.site.settings;
    username_->setText(settings.string(keys::username).value_or(QString()));
    password_->setText(storedPassword(context_.site).value_or(QString()));
    automaticLogin_->setChecked(automaticLoginEnabled(settings));
    fieldsChanged();
    connect(username_, &QLineEdit::textChanged, this, &LoginViewController::fieldsChanged);
    connect(password_, &QLineEdit::textChanged, this, &LoginViewController::fieldsChanged);
    connect(automaticLogin_, &QAbstractButton::toggled, this, &LoginViewController::fieldsChanged);
    connect(loginBtn_, &QPushButton::clicked, this, &LoginViewController::login);
    connect(QGuiApplication::inputMethod(), &QInputMethod::visibleChanged, this,
            &LoginViewController::inputPanelChanged);
}

void LoginViewController::fieldsChanged() {
    context_.fields->setValues(
        {username_->text(), password_->text(), automaticLogin_->isChecked()});
}

void LoginViewController::tryAutoLogin() {
    if (automaticLogin_->isChecked()) {
        login();
    }
}

void LoginViewController::login() {
    loginBtn_->setEnabled(false);
    showOverlay(kPleaseWait, kAttemptOverlayOffset);
    // One deadline covers the whole attempt: check, form and announcement.
    attempt_ = context_.site.withDeadline(startAction());
    context_.queue->addOperation(std::make_unique<FetchPageLoginCheck>(
        context_.site.config->sessionCheckUrl(), attempt_, this,
        [this](std::shared_ptr<HttpRequestRegEx> check) { doLogin(check); }));
    password_->clearFocus();
    username_->clearFocus();
}

void LoginViewController::doLogin(const std::shared_ptr<HttpRequestRegEx>& check) {
    fieldsChanged();
    const LoginFields::Values fields = context_.fields->values();
    if (check && isStillSignedIn(*check, *context_.site.net.session)) {
        // Signed in from an earlier run: the site's cookies survived. No form is posted.
        storeCredentials(*context_.site.settings, context_.site.secrets, fields.username,
                         fields.password, fields.automaticLogin, SettingsWrite::InBackground);
        triedLoggingIn(true, QString());
        return;
    }
    startSignIn(fields, captchaChallenge_, captcha_->text(), attempt_, *context_.queue, this,
                [this](std::shared_ptr<HttpRequest> request) { loginResult(request); });
}

void LoginViewController::loginResult(const std::shared_ptr<HttpRequest>& request) {
    // A sign-in whose cookies can't be kept would be lost at the next start: a failure too.
    const SignInVerdict verdict =
        judgeSignIn(*request, *context_.site.net.session, context_.site.net.cookies);
    triedLoggingIn(verdict.ok, verdict.message);
    if (hasCaptchaRequest(request->result())) {
        showCaptchaView();
    } else {
        hideCaptchaView();
    }
}

void LoginViewController::triedLoggingIn(bool ok, const QString& message) {
    if (!ok) {
        openAlert(QString(kLoginFailedTitle), message, QString(kLoginFailedButton));
        loginBtn_->setEnabled(true);
        hideOverlay();
        return;
    }
    // The busy overlay stays up while the announcement is asked, off the UI thread.
    context_.queue->addOperation(std::make_unique<FetchPageAnnouncement>(
        attempt_, context_.version, this,
        [this](const Announcement& announcement) { announcementArrived(announcement); }));
    Q_EMIT credentialsAccepted();
}

void LoginViewController::announcementArrived(const Announcement& announcement) {
    switch (announcement.kind) {
        case Announcement::Kind::Proceed:
            switchView();
            return;
        case Announcement::Kind::Stop:
            openAlert(kLoginErrorTitle, announcement.message, kOk);
            loginBtn_->setEnabled(true);
            hideOverlay();
            return;
        case Announcement::Kind::Go:
            if (announcement.message.isEmpty()) {
                switchView();  // a bare "GO" has nothing to show
                return;
            }
            openAlert(QString(), announcement.message, kOk, [this] { switchView(); });
            hideOverlay();
            return;
    }
}

void LoginViewController::switchView() {
    Q_EMIT switchRequested();
    hideOverlay();
    captchaChallenge_ = QString();
    captcha_->clear();
}

void LoginViewController::showCaptchaView() {
    reloadCaptchaImage();
    moveGroup(kGroupYWithCaptcha, true);
    if (!captchaOn_) {
        captchaOn_ = true;
        fadeCaptchaView(true);
        backdrop_->update();  // the background for the CAPTCHA
    }
}

void LoginViewController::hideCaptchaView() {
    moveGroup(kGroupY, true);
    if (captchaOn_) {
        captchaOn_ = false;
        fadeCaptchaView(false);
        backdrop_->update();
    }
}

void LoginViewController::reloadCaptchaImage() {
    showOverlay(kLoadingImage, kCaptchaOverlayOffset);
    loginBtn_->setEnabled(false);
    context_.queue->addOperation(std::make_unique<FetchPageCaptcha>(
        context_.site.config->loginUrl(), context_.site, this,
        [this](const std::optional<CaptchaChallenge>& challenge) { saveCaptchaImage(challenge); }));
}

void LoginViewController::saveCaptchaImage(const std::optional<CaptchaChallenge>& challenge) {
    loginBtn_->setEnabled(true);
    hideOverlay();
    captchaPicture_ = QImage();
    imageView_->setPixmap(QPixmap());
    if (!challenge) {
        // No challenge could be had: the short form goes out, and a click asks again.
        captchaChallenge_.reset();
        captchaImageUrl_.clear();
        imageView_->setText(kPictureMissing);
        return;
    }
    captchaChallenge_ = challenge->token;
    captchaImageUrl_ = challenge->imageUrl;
    imageView_->setText(kPictureLoading);
    context_.queue->addOperation(std::make_unique<ImageLoader>(
        challenge->imageUrl, context_.site.net, this,
        [this](const QString& url, const QImage& image) { loadCaptchaImage(url, image); }));
}

void LoginViewController::showOverlay(const QString& text, int offset) {
    LoadingIndicator& overlay = LoadingIndicator::sharedInstance();
    overlay.setParentView(this);
    overlay.setString(text);
    overlay.setOffset(offset);
    overlay.showLoadingIndicators();
}

void LoginViewController::hideOverlay() {
    LoadingIndicator::sharedInstance().hideLoadingIndicators();
}

void LoginViewController::openAlert(const QString& title, const QString& message,
                                    const QString& button, std::function<void()> onDismiss) {
    alert_ = pelloran::openAlert(window(), title, message, {button},
                                 [onDismiss = std::move(onDismiss)](int) {
                                     if (onDismiss) {
                                         onDismiss();
                                     }
                                 });
}

void LoginViewController::toggleInfoView() {
    if (isInfoViewShown()) {
        return;
    }
    infoView_->updateVersion();
    FlipTransition::flip(this, content_, infoView_, FlipTransition::From::Right, kAnimationMs,
                         [this] {
                             infoView_->show();
                             infoView_->raise();
                             // The fields are out of reach (and of the Tab key) behind it.
                             content_->hide();
                             infoView_->doneButton()->setFocus();
                         });
}

void LoginViewController::returnView() {
    if (!isInfoViewShown()) {
        return;
    }
    content_->show();
    FlipTransition::flip(this, infoView_, content_, FlipTransition::From::Left, kAnimationMs,
                         [this] { infoView_->hide(); });
}

bool LoginViewController::isInfoViewShown() const {
    return infoView_->isVisible();
}

QString LoginViewController::backgroundName() const {
    const bool tablet = UiScale::of(this).points(width()) >= UiScale::kTabletWidth;
    return loginBackgroundName(tablet, screenHeightPoints(), captchaOn_);
}

int LoginViewController::screenHeightPoints() const {
    return qRound(UiScale::of(this).points(height()));
}

void LoginViewController::inputPanelChanged() {
    // Only an on-screen keyboard covers the fields; a desktop keyboard never shows a panel.
    const bool shown = QGuiApplication::inputMethod()->isVisible();
    if (!captchaOn_ || shown == keyboardVisible_) {
        return;
    }
    keyboardVisible_ = shown;
    auto* scroll = new QPropertyAnimation(content_, "pos", content_);
    scroll->setDuration(300);
    scroll->setEndValue(QPoint(0, shown ? -UiScale::of(this).px(kKeyboardScroll) : 0));
    scroll->start(QAbstractAnimation::DeleteWhenStopped);
}

}  // namespace pelloran

#pragma once
// The login face: user name, password, the automatic-login switch and the login button; the
// CAPTCHA area (picture and answer) when the site asks for one; the information page.
//
// An attempt: session check (a member still signed in from an earlier run posts no form) →
// sign-in → judged → "Login failed." alert, or the announcement check → main interface.
// Every network step runs on the login queue; the UI thread never waits. UI thread only.

#include "app/login_fields.h"
#include "net/http_request.h"
#include "site/announcement.h"
#include "site/captcha.h"
#include "site/site_context.h"
#include "ui/view_controller.h"

#include <QImage>
#include <QPointer>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
#include <QMessageBox>
class QPropertyAnimation;
class QPushButton;
class QToolButton;

namespace pelloran {

class InfoView;
class OperationQueue;
class ToggleSwitch;

// What a login face needs; everything pointed to outlives it.
struct LoginScreenContext {
    SiteContext site;
    OperationQueue* queue = nullptr;  // width 1, shared by every login face of the run
    LoginFields* fields = nullptr;
    QString version;
};

class LoginViewController : public ViewController {
    Q_OBJECT
public:
    static constexpr int kAnimationMs = 1000;
    static constexpr qreal kGroupX = 22;
    static constexpr qreal kGroupY = 175;
    static constexpr qreal kGroupYWithCaptcha = 275;
    static constexpr int kAttemptOverlayOffset = 150;
    static constexpr int kCaptchaOverlayOffset = -30;
    static constexpr int kKeyboardScroll = 30;

    explicit LoginViewController(const LoginScreenContext& context, QWidget* parent = nullptr);

    // Signs in when the automatic-login switch is on (the root controller asks once per run).
    void tryAutoLogin();
    // The login button's action.
    void login();

    void showCaptchaView();
    void hideCaptchaView();
    void reloadCaptchaImage();
    void toggleInfoView();
    void returnView();

    bool captchaOn() const { return captchaOn_; }
    std::optional<QString> captchaChallenge() const { return captchaChallenge_; }
    QString backgroundName() const;
    bool isInfoViewShown() const;

    QLineEdit* usernameField() const { return username_; }
    QLineEdit* passwordField() const { return password_; }
    QLineEdit* captchaField() const { return captcha_; }
    ToggleSwitch* automaticLoginSwitch() const { return automaticLogin_; }
    QPushButton* loginButton() const { return loginBtn_; }
    QWidget* groupView() const { return groupView_; }
    QWidget* captchaView() const { return captchaView_; }
    QLabel* imageView() const { return imageView_; }
    QToolButton* infoButton() const { return infoBtn_; }
    InfoView* infoView() const { return infoView_; }
    QWidget* contentView() const { return content_; }
    // The alert this screen has open, if any.
    QMessageBox* alert() const { return alert_; }

Q_SIGNALS:
    // The member is in: the root controller shows the main interface.
    void switchRequested();
    // The site took the sign-in and the announcement is being asked: the root controller may
    // get the main interface ready meanwhile, so that showing it costs the UI thread less.
    void credentialsAccepted();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildViews();
    void relayout();
    void styleViews();
    void fieldsChanged();
    void doLogin(const std::shared_ptr<HttpRequestRegEx>& check);
    void loginResult(const std::shared_ptr<HttpRequest>& request);
    void triedLoggingIn(bool ok, const QString& message);
    void announcementArrived(const Announcement& announcement);
    void switchView();
    void saveCaptchaImage(const std::optional<CaptchaChallenge>& challenge);
    void loadCaptchaImage(const QString& url, const QImage& image);
    void showOverlay(const QString& text, int offset);
    void hideOverlay();
    void openAlert(const QString& title, const QString& message, const QString& button,
                   std::function<void()> onDismiss = {});
    void moveGroup(qreal y, bool animated);
    void showCaptchaPicture();
    void fadeCaptchaView(bool in);
    void inputPanelChanged();
    int screenHeightPoints() const;

    LoginScreenContext context_;
    SiteContext attempt_;  // the site context of the attempt running, with its deadline
    QWidget* content_;
    QWidget* backdrop_;
    QWidget* groupView_;
    QLineEdit* username_;
    QLineEdit* password_;
    QLabel* automaticLabel_;
    ToggleSwitch* automaticLogin_;
    QPushButton* loginBtn_;
    QWidget* captchaView_;
    QLabel* captchaCaption_;
    QLabel* imageView_;
    QLineEdit* captcha_;
    QToolButton* infoBtn_;
    InfoView* infoView_;
    QPointer<QMessageBox> alert_;
    QPointer<QPropertyAnimation> groupAnimation_;
    QImage captchaPicture_;
    QString captchaImageUrl_;
    std::optional<QString> captchaChallenge_;
    bool captchaOn_ = false;
    bool keyboardVisible_ = false;
    qreal groupY_ = kGroupY;
};

}  // namespace pelloran

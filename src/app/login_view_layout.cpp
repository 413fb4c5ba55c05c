// The login face's widgets: how they are made, placed in points, styled and animated.

#include "app/info_view.h"
#include "app/login_view_controller.h"
#include "ui/colors.h"
#include "ui/image_library.h"
#include "ui/toggle_switch.h"
#include "ui/ui_scale.h"

#include <QGraphicsOpacityEffect>
#include <QGuiApplication>
#include <QInputMethod>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QToolButton>
#include <functional>

namespace pelloran {

namespace {

// Points, from the top left of the screen (group and CAPTCHA area) or of their own area.
constexpr qreal kGroupWidth = 276;
constexpr qreal kGroupHeight = 176;
constexpr qreal kFieldHeight = 38;
constexpr qreal kCaptchaX = 10, kCaptchaY = 78, kCaptchaWidth = 300, kCaptchaHeight = 132;
constexpr qreal kPictureWidth = 300, kPictureHeight = 57;
constexpr qreal kPictureRadius = 10;
constexpr qreal kInfoSize = 24;

const QColor kBackdropBottom(13, 15, 19);

// Paints the background picture the login face chooses, full width from the top.
class LoginBackdrop : public QWidget {
public:
    LoginBackdrop(std::function<QString()> name, QWidget* parent)
        : QWidget(parent), name_(std::move(name)) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), kBackdropBottom);
        const QString name = name_();
        const QSizeF natural = ImageLibrary::naturalSize(name);
        if (natural.isEmpty()) {
            return;
        }
        const QSize size(width(), qRound(width() * natural.height() / natural.width()));
        // A first start draws the picture on a worker thread: its first frame shows the
        // backdrop's colour alone, and the picture a moment later.
        const QPixmap picture = ImageLibrary::keptPixmapOrLater(name, size, devicePixelRatioF(),
                                                                this, [this] { update(); });
        if (!picture.isNull()) {
            p.drawPixmap(0, 0, picture);
        }
    }

private:
    std::function<QString()> name_;
};

QLineEdit* makeField(const QString& placeholder, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setPlaceholderText(placeholder);
    field->setAttribute(Qt::WA_MacShowFocusRect, false);
    field->setClearButtonEnabled(false);
    return field;
}

}  // namespace

void LoginViewController::buildViews() {
    content_ = new QWidget(this);
    backdrop_ = new LoginBackdrop([this] { return backgroundName(); }, content_);

    captchaView_ = new QWidget(content_);
    captchaCaption_ = new QLabel(QStringLiteral("Type the words in the picture:"), captchaView_);
    imageView_ = new QLabel(captchaView_);
    imageView_->setAlignment(Qt::AlignCenter);
    imageView_->setWordWrap(true);
    imageView_->setCursor(Qt::PointingHandCursor);
    imageView_->setToolTip(QStringLiteral("Click for another picture"));
    imageView_->installEventFilter(this);
    captcha_ = makeField(QStringLiteral("The words in the picture"), captchaView_);
    captcha_->setObjectName(QStringLiteral("captcha"));
    captchaView_->hide();

    groupView_ = new QWidget(content_);
    username_ = makeField(QStringLiteral("User name"), groupView_);
    username_->setObjectName(QStringLiteral("username"));
    password_ = makeField(QStringLiteral("Password"), groupView_);
    password_->setObjectName(QStringLiteral("password"));
    password_->setEchoMode(QLineEdit::Password);
    automaticLabel_ = new QLabel(QStringLiteral("Automatic login"), groupView_);
    automaticLogin_ = new ToggleSwitch(groupView_);
    automaticLogin_->setObjectName(QStringLiteral("automaticLogin"));
    loginBtn_ = new QPushButton(QStringLiteral("Login"), groupView_);
    loginBtn_->setObjectName(QStringLiteral("login"));
    loginBtn_->setCursor(Qt::PointingHandCursor);
    // Return moves between the fields; it never starts an attempt.
    loginBtn_->setAutoDefault(false);

    infoBtn_ = new QToolButton(content_);
    infoBtn_->setText(QStringLiteral("i"));
    infoBtn_->setToolTip(QStringLiteral("About Pelloran"));
    infoBtn_->setCursor(Qt::PointingHandCursor);
    connect(infoBtn_, &QToolButton::clicked, this, &LoginViewController::toggleInfoView);

    infoView_ = new InfoView(context_.version, this);
    infoView_->hide();
    connect(infoView_, &InfoView::doneClicked, this, &LoginViewController::returnView);

    const auto closeKeyboard = [] { QGuiApplication::inputMethod()->hide(); };
    connect(username_, &QLineEdit::returnPressed, this, [this] { password_->setFocus(); });
    connect(password_, &QLineEdit::returnPressed, this, [this, closeKeyboard] {
        if (captchaOn_) {
            captcha_->setFocus();
        } else {
            password_->clearFocus();
            closeKeyboard();
        }
    });
    connect(captcha_, &QLineEdit::returnPressed, this, [this, closeKeyboard] {
        captcha_->clearFocus();
        closeKeyboard();
    });
    for (QLineEdit* field : {username_, password_, captcha_}) {
        connect(field, &QLineEdit::editingFinished, this, closeKeyboard);
    }
    setTabOrder(username_, password_);
    setTabOrder(password_, captcha_);
    setTabOrder(captcha_, automaticLogin_);
    setTabOrder(automaticLogin_, loginBtn_);
}

void LoginViewController::resizeEvent(QResizeEvent*) {
    relayout();
}

void LoginViewController::relayout() {
    const UiScale s = UiScale::of(this);
    styleViews();
    content_->setGeometry(0, content_->y(), width(), height());
    backdrop_->setGeometry(content_->rect());
    infoView_->setGeometry(rect());

    captchaView_->setGeometry(s.rect(kCaptchaX, kCaptchaY, kCaptchaWidth, kCaptchaHeight));
    captchaCaption_->setGeometry(s.rect(2, 0, kCaptchaWidth - 2, 20));
    imageView_->setGeometry(s.rect(0, 24, kPictureWidth, kPictureHeight));
    captcha_->setGeometry(s.rect(0, 24 + kPictureHeight + 12, kCaptchaWidth, kFieldHeight));
    showCaptchaPicture();

    if (!groupAnimation_ || groupAnimation_->state() != QAbstractAnimation::Running) {
        groupView_->setGeometry(s.rect(kGroupX, groupY_, kGroupWidth, kGroupHeight));
    }
    username_->setGeometry(s.rect(0, 0, kGroupWidth, kFieldHeight));
    password_->setGeometry(s.rect(0, 46, kGroupWidth, kFieldHeight));
    automaticLabel_->setGeometry(s.rect(2, 94, 200, ToggleSwitch::kHeightPoints));
    automaticLogin_->setGeometry(s.rect(kGroupWidth - ToggleSwitch::kWidthPoints, 94,
                                        ToggleSwitch::kWidthPoints, ToggleSwitch::kHeightPoints));
    loginBtn_->setGeometry(s.rect(0, 136, kGroupWidth, 40));

    const qreal heightPts = s.points(height());
    infoBtn_->setGeometry(s.rect(UiScale::kPhoneWidth - kInfoSize - 8, heightPts - kInfoSize - 6,
                                 kInfoSize, kInfoSize));
}

void LoginViewController::styleViews() {
    const UiScale s = UiScale::of(this);
    const QString field =
        QStringLiteral(
            "QLineEdit { background: #f4f4f2; color: #1b1d22; border: 1px solid #8a8f99;"
            " border-radius: %1px; padding: 0 %2px; selection-background-color: #e8a33d; }"
            "QLineEdit:focus { border: %3px solid #e8a33d; }")
            .arg(s.px(6))
            .arg(s.px(8))
            .arg(std::max(2, s.px(2)));
    for (QLineEdit* f : {username_, password_, captcha_}) {
        f->setStyleSheet(field);
        f->setFont(s.font(FontFace::Arial, 16));
    }
    automaticLabel_->setFont(s.font(FontFace::ArialBold, 15));
    automaticLabel_->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    captchaCaption_->setFont(s.font(FontFace::ArialBold, 13));
    captchaCaption_->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    imageView_->setFont(s.font(FontFace::Arial, 13));
    imageView_->setStyleSheet(
        QStringLiteral("QLabel { color: #c8ccd4; background: rgba(255,255,255,%1);"
                       " border-radius: %2px; }")
            .arg(captchaPicture_.isNull() ? 30 : 0)
            .arg(s.px(kPictureRadius)));
    loginBtn_->setFont(s.font(FontFace::ArialBold, 18));
    loginBtn_->setStyleSheet(
        QStringLiteral("QPushButton { color: white; border: 1px solid #a86a14; border-radius: %1px;"
                       " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f2b552, "
                       "stop:1 #d8891f); }"
                       "QPushButton:pressed { background: #c27a18; }"
                       "QPushButton:focus { border: %2px solid white; }"
                       "QPushButton:disabled { color: #a0a4ab; border-color: #555a63;"
                       " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #5b6069, "
                       "stop:1 #474b53); }")
            .arg(s.px(8))
            .arg(std::max(2, s.px(2))));
    infoBtn_->setFont(s.font(FontFace::ArialBold, 15));
    infoBtn_->setStyleSheet(
        QStringLiteral(
            "QToolButton { color: white; background: transparent; border: %1px solid white;"
            " border-radius: %2px; } QToolButton:focus { color: #e8a33d; border-color: #e8a33d; }")
            .arg(std::max(1, s.px(1.5)))
            .arg(s.px(kInfoSize / 2)));
}

void LoginViewController::loadCaptchaImage(const QString& url, const QImage& image) {
    if (url != captchaImageUrl_) {
        return;  // a picture of an earlier challenge
    }
    captchaPicture_ = image;
    imageView_->setText(QString());
    styleViews();
    showCaptchaPicture();
}

void LoginViewController::showCaptchaPicture() {
    if (captchaPicture_.isNull()) {
        return;
    }
    const qreal dpr = devicePixelRatioF();
    const QSize logical = imageView_->size();
    QPixmap rounded(logical * dpr);
    rounded.setDevicePixelRatio(dpr);
    rounded.fill(Qt::transparent);
    QPainter p(&rounded);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath clip;
    const qreal r = UiScale::of(this).pxF(kPictureRadius);
    clip.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(logical)), r, r);
    p.setClipPath(clip);
    p.drawImage(QRectF(QPointF(0, 0), QSizeF(logical)), captchaPicture_);
    p.end();
    imageView_->setPixmap(rounded);
}

void LoginViewController::moveGroup(qreal y, bool animated) {
    groupY_ = y;
    const QPoint target = UiScale::of(this).point(kGroupX, y);
    if (groupAnimation_) {
        groupAnimation_->stop();
        groupAnimation_ = nullptr;
    }
    if (!animated || groupView_->pos() == target) {
        groupView_->move(target);
        return;
    }
    groupAnimation_ = new QPropertyAnimation(groupView_, "pos", this);
    groupAnimation_->setDuration(kAnimationMs);
    groupAnimation_->setEasingCurve(QEasingCurve::InOutQuad);
    groupAnimation_->setEndValue(target);
    groupAnimation_->start(QAbstractAnimation::DeleteWhenStopped);
}

void LoginViewController::fadeCaptchaView(bool in) {
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(captchaView_->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(captchaView_);
        captchaView_->setGraphicsEffect(effect);
    }
    auto* fade = new QPropertyAnimation(effect, "opacity", captchaView_);
    fade->setDuration(kAnimationMs);
    if (in && !captchaView_->isVisible()) {
        effect->setOpacity(0.0);
    }
    fade->setStartValue(effect->opacity());
    fade->setEndValue(in ? 1.0 : 0.0);
    if (in) {
        captchaView_->show();
    } else {
        connect(fade, &QPropertyAnimation::finished, captchaView_, [this] {
            if (!captchaOn_) {
                captchaView_->hide();
            }
        });
    }
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

bool LoginViewController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == imageView_ && event->type() == QEvent::MouseButtonRelease &&
        loginBtn_->isEnabled() && captchaOn_) {
        reloadCaptchaImage();
        return true;
    }
    return ViewController::eventFilter(watched, event);
}

}  // namespace pelloran

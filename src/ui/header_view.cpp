#include "ui/header_view.h"

#include "ui/colors.h"
#include "ui/focus_ring.h"
#include "ui/image_library.h"
#include "ui/ui_scale.h"

#include <QEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

namespace pelloran {

namespace {
constexpr qreal kMargin = 8;
constexpr qreal kButtonSize = 32;
constexpr qreal kIconSize = 20;
constexpr qreal kButtonGap = 2;
constexpr qreal kNamePoints = 14;
constexpr qreal kSmallPoints = 10;
constexpr qreal kRatioPoints = 11;
constexpr qreal kShadowPoints = 7;
constexpr qreal kArrowPoints = 9;
const QColor kAmber(232, 163, 61);
}  // namespace

HeaderView::HeaderView(QWidget* parent)
    : QWidget(parent),
      username_(new QPushButton(this)),
      ratioCaption_(new QLabel(QStringLiteral("Ratio"), this)),
      ratio_(new QLabel(this)),
      upIcon_(new QLabel(this)),
      up_(new QLabel(this)),
      downIcon_(new QLabel(this)),
      down_(new QLabel(this)),
      refresh_(makeButton(QStringLiteral("refresh.png"), QStringLiteral("Refresh (Ctrl+R)"))),
      search_(makeButton(QStringLiteral("tabbar-search.png"), QStringLiteral("Search settings"))),
      settings_(makeButton(QStringLiteral("tabbar-settings.png"), QStringLiteral("Settings"))),
      filters_(makeButton(QStringLiteral("filters.png"), QStringLiteral("Favorite filters"))) {
    username_->setFlat(true);
    username_->setCursor(Qt::PointingHandCursor);
    username_->setFocusPolicy(Qt::TabFocus);
    username_->setToolTip(QStringLiteral("Your profile"));
    username_->setObjectName(QStringLiteral("usernameLbl"));
    addFocusRing(username_, 4);
    for (QLabel* l : {ratioCaption_, ratio_, up_, down_, upIcon_, downIcon_}) {
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    search_->hide();
    settings_->hide();
    filters_->hide();
    connect(username_, &QPushButton::clicked, this, &HeaderView::viewProfile);
    connect(refresh_, &QToolButton::clicked, this, &HeaderView::refresh);
    connect(search_, &QToolButton::clicked, this, &HeaderView::search);
    connect(settings_, &QToolButton::clicked, this, &HeaderView::settings);
    connect(filters_, &QToolButton::clicked, this, &HeaderView::filters);
}

QToolButton* HeaderView::makeButton(const QString& imageName, const QString& tip) {
    auto* b = new QToolButton(this);
    b->setObjectName(imageName);
    b->setProperty("imageName", imageName);
    b->setToolTip(tip);
    b->setCursor(Qt::PointingHandCursor);
    b->setFocusPolicy(Qt::TabFocus);
    b->setAutoRaise(true);
    addFocusRing(b);
    return b;
}

void HeaderView::setRatioWarning(bool warning) {
    if (warning == ratioWarning_) {
        return;
    }
    ratioWarning_ = warning;
    styledFor_ = 0;  // restyled on the next layout
    relayout();
    update();
}

void HeaderView::setMemberBar(const QString& username, const QString& ratio,
                              const QString& downloaded, const QString& uploaded) {
    username_->setText(username);
    ratio_->setText(ratio);
    down_->setText(downloaded);
    up_->setText(uploaded);
    relayout();
    update();
}

void HeaderView::setButtonsShown(bool settings, bool search, bool filters) {
    settings_->setVisible(settings);
    search_->setVisible(search);
    filters_->setVisible(filters);
    relayout();
}

void HeaderView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        update();
    }
    QWidget::changeEvent(event);
}

void HeaderView::resizeEvent(QResizeEvent*) {
    relayout();
}

void HeaderView::relayout() {
    const UiScale s = UiScale::of(this);
    // Only the top 45 points are the header's: below, the list under it takes the touches.
    setMask(QRegion(0, 0, width(), s.px(kTouchHeightPoints)));

    const qreal dpr = devicePixelRatioF();
    // Icons and styles depend only on the scale: made again only when it changes.
    const bool restyle = styledFor_ != s.factor() * dpr;
    styledFor_ = s.factor() * dpr;
    int right = width() - s.px(kMargin) + s.px(4);
    for (QToolButton* b : {refresh_, settings_, search_, filters_}) {
        if (restyle) {
            const QSize icon = s.size(kIconSize, kIconSize);
            const QString name = b->property("imageName").toString();
            QIcon i;
            i.addPixmap(ImageLibrary::tinted(name, icon, dpr, Qt::white), QIcon::Normal);
            i.addPixmap(ImageLibrary::tinted(name, icon, dpr, colors::grey(0.4)), QIcon::Disabled);
            b->setIcon(i);
            b->setIconSize(icon);
            b->setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; "
                                            "border-radius: %1px; } QToolButton:pressed { "
                                            "background: rgba(255,255,255,40); }")
                                 .arg(s.px(6)));
        }
        if (b->isHidden()) {
            continue;
        }
        const int size = s.px(kButtonSize);
        b->setGeometry(right - size, s.px(1), size, size);
        right -= size + s.px(kButtonGap);
    }

    const int nameLeft = s.px(kMargin);
    if (restyle) {
        username_->setFont(s.font(FontFace::ArialBold, kNamePoints));
        username_->setStyleSheet(QStringLiteral(
            "QPushButton { color: white; border: none; background: transparent; text-align: left; "
            "padding: 0; } QPushButton:pressed { color: #e8a33d; }"));
        const QString label = QStringLiteral("color: %1; background: transparent;");
        ratioCaption_->setFont(s.font(FontFace::Arial, kSmallPoints));
        ratioCaption_->setStyleSheet(label.arg(colors::grey(0.6).name()));
        ratio_->setFont(s.font(FontFace::ArialBold, kRatioPoints));
        ratio_->setStyleSheet(label.arg((ratioWarning_ ? colors::warning() : kAmber).name()));
        for (QLabel* l : {up_, down_}) {
            l->setFont(s.font(FontFace::Arial, kSmallPoints));
            l->setStyleSheet(label.arg(colors::rowText().name()));
        }
        const QSize arrow = s.size(kArrowPoints, kArrowPoints);
        upIcon_->setPixmap(ImageLibrary::pixmap(QStringLiteral("up.jpg"), arrow, dpr));
        downIcon_->setPixmap(ImageLibrary::pixmap(QStringLiteral("down.jpg"), arrow, dpr));
    }
    const int nameWidth = std::min(username_->sizeHint().width(), right - nameLeft - s.px(70));
    username_->setGeometry(nameLeft, s.px(1), std::max(0, nameWidth), s.px(18));

    int x = username_->geometry().right() + s.px(10);
    ratioCaption_->adjustSize();
    ratioCaption_->move(x, s.px(4));
    x += ratioCaption_->width() + s.px(3);
    ratio_->adjustSize();
    ratio_->move(x, s.px(3));

    const QSize arrow = s.size(kArrowPoints, kArrowPoints);
    upIcon_->setGeometry(nameLeft, s.px(21), arrow.width(), arrow.height());
    up_->adjustSize();
    down_->adjustSize();
    up_->move(upIcon_->geometry().right() + s.px(4), s.px(19));
    downIcon_->setGeometry(up_->geometry().right() + s.px(12), s.px(21), arrow.width(),
                           arrow.height());
    down_->move(downIcon_->geometry().right() + s.px(4), s.px(19));
}

void HeaderView::paintEvent(QPaintEvent*) {
    const UiScale s = UiScale::of(this);
    QPainter p(this);
    const int bar = s.px(kBarHeightPoints);
    QLinearGradient fill(0, 0, 0, bar);
    fill.setColorAt(0, colors::grey(0.17));
    fill.setColorAt(1, colors::grey(0.05));
    p.fillRect(QRect(0, 0, width(), bar), fill);
    p.fillRect(QRect(0, bar - 1, width(), 1), colors::grey(0.28));
    // The gradient: a soft shadow the bar casts on the list under it.
    QLinearGradient shadow(0, bar, 0, bar + s.px(kShadowPoints));
    shadow.setColorAt(0, QColor(0, 0, 0, 120));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(QRect(0, bar, width(), s.px(kShadowPoints)), shadow);
}

}  // namespace pelloran

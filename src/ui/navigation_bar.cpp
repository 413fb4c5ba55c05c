#include "ui/navigation_bar.h"

#include "ui/colors.h"
#include "ui/focus_ring.h"
#include "ui/ui_scale.h"

#include <QLabel>
#include <QPainter>
#include <QToolButton>

namespace pelloran {

namespace {
constexpr qreal kSideMargin = 6;
constexpr qreal kButtonHeight = 30;
constexpr qreal kTitleFontPoints = 19;
constexpr qreal kButtonFontPoints = 13;
}  // namespace

NavigationBar::NavigationBar(QWidget* parent)
    : QWidget(parent), title_(new QLabel(this)), back_(new QToolButton(this)) {
    title_->setAlignment(Qt::AlignCenter);
    title_->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    back_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    back_->setCursor(Qt::PointingHandCursor);
    back_->setFocusPolicy(Qt::TabFocus);
    addFocusRing(back_);
    back_->hide();
    connect(back_, &QToolButton::clicked, this, &NavigationBar::backClicked);
}

void NavigationBar::setTitle(const QString& title) {
    title_->setText(title);
    relayout();
}

QString NavigationBar::title() const {
    return title_->text();
}

void NavigationBar::setBackTitle(const QString& text) {
    // A chevron in front, as the platform draws its back buttons.
    back_->setText(text.isEmpty() ? QString() : QStringLiteral("\u2039 ") + text);
    back_->setProperty("backTitle", text);
    relayout();
}

QString NavigationBar::backTitle() const {
    return back_->property("backTitle").toString();
}

void NavigationBar::setItems(QWidget* left, QWidget* right) {
    for (QWidget* old : {left_.data(), right_.data()}) {
        if (old && old != left && old != right && old->parentWidget() == this) {
            old->hide();
        }
    }
    left_ = left;
    right_ = right;
    for (QWidget* w : {left, right}) {
        if (w) {
            w->setParent(this);
            w->show();
        }
    }
    relayout();
}

void NavigationBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), colors::barBackground());
    // A faint line under the bar, so it reads as a bar over a black screen too.
    p.fillRect(QRect(0, height() - 1, width(), 1), colors::grey(0.25));
}

void NavigationBar::resizeEvent(QResizeEvent*) {
    relayout();
}

void NavigationBar::relayout() {
    const UiScale s = UiScale::of(this);
    title_->setFont(s.font(FontFace::SystemBold, kTitleFontPoints));
    const QString buttonStyle =
        QStringLiteral(
            "QToolButton { color: white; background: %1; border: 1px solid %2; border-radius: %3px;"
            " padding: 0 %4px; } QToolButton:pressed { background: %2; }")
            .arg(colors::grey(0.16).name(), colors::grey(0.35).name())
            .arg(s.px(5))
            .arg(s.px(7));
    back_->setStyleSheet(buttonStyle);
    back_->setFont(s.font(FontFace::SystemBold, kButtonFontPoints));

    const int h = height();
    const int buttonH = s.px(kButtonHeight);
    const int y = (h - buttonH) / 2;
    int leftEdge = s.px(kSideMargin);
    int rightEdge = width() - s.px(kSideMargin);
    const bool showBack = !left_ && !back_->text().isEmpty();
    back_->setVisible(showBack);
    if (showBack) {
        back_->adjustSize();
        back_->setGeometry(leftEdge, y, back_->sizeHint().width(), buttonH);
        leftEdge += back_->width();
    }
    if (left_) {
        left_->adjustSize();
        left_->setGeometry(leftEdge, y, left_->sizeHint().width(), buttonH);
        leftEdge += left_->width();
    }
    if (right_) {
        right_->adjustSize();
        const int w = right_->sizeHint().width();
        right_->setGeometry(rightEdge - w, y, w, buttonH);
        rightEdge -= w;
    }
    // The title stays centred on the bar while it fits between the buttons; a long one is
    // drawn smaller rather than cut.
    const int side = std::max(leftEdge, width() - rightEdge) + s.px(4);
    const int room = std::max(0, width() - 2 * side);
    QFont font = title_->font();
    while (QFontMetrics(font).horizontalAdvance(title_->text()) > room &&
           font.pixelSize() > s.px(kTitleFontPoints * 0.7)) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    title_->setFont(font);
    title_->setGeometry(side, 0, room, h);
}

}  // namespace pelloran

#include "ui/loading_indicator.h"

#include "ui/activity_spinner.h"
#include "ui/colors.h"
#include "ui/rounded_rect_view.h"
#include "ui/ui_scale.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QLabel>

namespace pelloran {

namespace {
constexpr qreal kGap = 8;       // between spinner and label
constexpr qreal kPadding = 30;  // left and right of the pair, together
constexpr qreal kBoxRadius = 8;
constexpr qreal kBoxOpacity = 0.9;
constexpr qreal kLabelFontPoints = 20;
}  // namespace

OverlayFrame overlayFrame(const QSizeF& spinner, const QSizeF& label, const QSizeF& parent,
                          qreal offset) {
    OverlayFrame f;
    const qreal content = spinner.width() + kGap + label.width();
    const qreal boxWidth = content + kPadding;
    f.spinner = QPointF((boxWidth - content) / 2, (kOverlayHeight - spinner.height()) / 2);
    f.label =
        QPointF(f.spinner.x() + spinner.width() + kGap, (kOverlayHeight - label.height()) / 2);
    f.box = QRectF((parent.width() - boxWidth) / 2, (parent.height() - kOverlayHeight) / 2 + offset,
                   boxWidth, kOverlayHeight);
    return f;
}

LoadingIndicator& LoadingIndicator::sharedInstance() {
    static auto* instance = new LoadingIndicator();  // lives for the whole process
    instance->resetConfiguration();
    return *instance;
}

SendingTorrentIndicator& SendingTorrentIndicator::sharedInstance() {
    static auto* instance = new SendingTorrentIndicator();
    instance->resetConfiguration();
    return *instance;
}

void LoadingIndicator::resetConfiguration() {
    parentView_ = nullptr;
    offset_ = 0;
    string_.clear();
}

QWidget* LoadingIndicator::box() const {
    return isShown() ? box_.data() : nullptr;
}

QString LoadingIndicator::shownText() const {
    return isShown() && label_ ? label_->text() : QString();
}

void LoadingIndicator::showLoadingIndicators() {
    if (isShown()) {
        label_->setText(string_);
        sizeFrame();
        return;
    }
    if (!parentView_) {
        return;
    }
    delete box_;  // a box whose spinner went with a deleted parent, if any
    const UiScale scale = UiScale::of(parentView_);
    box_ = new RoundedRectView(parentView_);
    box_->setRectColor(colors::overlayBox());
    box_->setCornerRadius(kBoxRadius);
    auto* opacity = new QGraphicsOpacityEffect(box_);
    opacity->setOpacity(kBoxOpacity);
    box_->setGraphicsEffect(opacity);
    box_->setAttribute(Qt::WA_TransparentForMouseEvents);

    spinner_ = new ActivitySpinner(box_);
    spinner_->resize(scale.size(ActivitySpinner::kSizePoints, ActivitySpinner::kSizePoints));
    spinner_->startAnimating();

    label_ = new QLabel(string_, box_);
    label_->setFont(scale.font(FontFace::System, kLabelFontPoints));
    label_->setStyleSheet(QStringLiteral("color: white; background: transparent;"));

    parentView_->installEventFilter(this);
    sizeFrame();
    box_->show();
    box_->raise();
}

void LoadingIndicator::hideLoadingIndicators() {
    if (!isShown()) {
        return;
    }
    spinner_->stopAnimating();
    if (QWidget* parent = box_->parentWidget()) {
        parent->removeEventFilter(this);
    }
    delete box_;  // takes the spinner and the label with it
}

void LoadingIndicator::hideIfOn(const QWidget* view) {
    if (QWidget* shown = box(); shown && view && view->isAncestorOf(shown)) {
        hideLoadingIndicators();
    }
}

void LoadingIndicator::sizeFrame() {
    QWidget* parent = box_ ? box_->parentWidget() : nullptr;
    if (!parent) {
        return;
    }
    const UiScale scale = UiScale::of(parent);
    label_->adjustSize();
    const QSizeF spinnerPts(scale.points(spinner_->width()), scale.points(spinner_->height()));
    const QSizeF labelPts(scale.points(label_->width()), scale.points(label_->height()));
    const QSizeF parentPts(scale.points(parent->width()), scale.points(parent->height()));
    const OverlayFrame f = overlayFrame(spinnerPts, labelPts, parentPts, offset_);
    box_->setGeometry(scale.rect(f.box.x(), f.box.y(), f.box.width(), f.box.height()));
    spinner_->move(scale.point(f.spinner.x(), f.spinner.y()));
    label_->move(scale.point(f.label.x(), f.label.y()));
}

bool LoadingIndicator::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && box_ && watched == box_->parentWidget()) {
        sizeFrame();
    }
    return false;
}

}  // namespace pelloran

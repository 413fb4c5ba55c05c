#include "app/pelloran_window.h"

#include <QGuiApplication>
#include <QScreen>

namespace pelloran {

namespace {

int availableHeight() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().height() : 768;
}

}  // namespace

UiScale PelloranWindow::scaleForScreen(qreal forced) {
    return UiScale(forced > 0 ? forced : UiScale::factorForScreenHeight(availableHeight()));
}

PelloranWindow::PelloranWindow(const UiScale& scale, int heightPoints) : scale_(scale) {
    UiScale::attach(this, scale_);
    setWindowTitle(QStringLiteral("Pelloran"));
    setObjectName(QStringLiteral("pelloranWindow"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
    const int points = heightPoints > 0
                           ? heightPoints
                           : UiScale::windowHeightPoints(availableHeight(), scale_.factor());
    // The phone layout is 320 points wide; the height may grow, the width stays.
    setFixedWidth(scale_.px(UiScale::kPhoneWidth));
    setMinimumHeight(scale_.px(400));
    resize(scale_.px(UiScale::kPhoneWidth), scale_.px(points));
}

void PelloranWindow::setContent(QWidget* content) {
    content_ = content;
    content_->setParent(this);
    content_->setGeometry(rect());
    content_->show();
}

void PelloranWindow::closeEvent(QCloseEvent* event) {
    Q_EMIT closing();
    QWidget::closeEvent(event);
}

void PelloranWindow::resizeEvent(QResizeEvent*) {
    if (content_) {
        content_->setGeometry(rect());
    }
}

}  // namespace pelloran

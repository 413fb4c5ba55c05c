#include "app/pelloran_window.h"

#include "ui/navigation_bar.h"
#include "ui/navigation_stack.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QScreen>

namespace pelloran {

namespace {

int availableHeight() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().height() : 768;
}

// Escape, Alt+Left or the platform's Back key.
bool isBackKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    return (event.key() == Qt::Key_Escape && mods == Qt::NoModifier) ||
           (event.key() == Qt::Key_Left && mods == Qt::AltModifier) ||
           event.key() == Qt::Key_Back || event.matches(QKeySequence::Back);
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
    // Opens at the phone's 320 points, never narrower; a member may widen or maximize it, and
    // the screens use the width.
    setMinimumWidth(scale_.px(UiScale::kPhoneWidth));
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

void PelloranWindow::keyPressEvent(QKeyEvent* event) {
    if (isBackKey(*event) && content_) {
        // Only one stack is shown at a time (the selected tab's, or the More area's): it goes
        // back as its bar's back button does, a pushed screen popped (a page stops loading as
        // it goes), a tab opened from More back to the list.
        for (NavigationStack* stack : content_->findChildren<NavigationStack*>()) {
            if (stack->isVisible()) {
                Q_EMIT stack->navigationBar()->backClicked();
                event->accept();
                return;
            }
        }
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
    if (enter && button && isAncestorOf(button) && button->isEnabled()) {
        button->animateClick();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PelloranWindow::resizeEvent(QResizeEvent*) {
    if (content_) {
        content_->setGeometry(rect());
    }
}

}  // namespace pelloran

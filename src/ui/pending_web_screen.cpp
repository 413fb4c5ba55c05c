#include "ui/pending_web_screen.h"

#include "ui/after_next_frame.h"
#include "ui/bar_image_button.h"
#include "ui/colors.h"
#include "ui/loading_indicator.h"
#include "ui/navigation_stack.h"

#include <QPainter>
#include <QPointer>
#include <QToolButton>
#include <utility>

namespace pelloran {

namespace {
const QString kLoadingText = QStringLiteral("Loading...");
}  // namespace

PendingWebScreen::PendingWebScreen(std::function<ViewController*()> make, QWidget* parent)
    : ViewController(parent), make_(std::move(make)) {
    setTitle(QString());
    QToolButton* back = makeBarImageButton(QStringLiteral("back.png"), tr("Back"), this);
    back->hide();  // the navigation bar shows it
    connect(back, &QToolButton::clicked, this, [this] {
        if (NavigationStack* stack = navigationStack();
            stack && stack->topViewController() == this) {
            stack->popViewController(false);
        }
    });
    setLeftBarWidget(back);
}

void PendingWebScreen::viewWillAppear() {
    LoadingIndicator& loading = LoadingIndicator::sharedInstance();
    loading.setParentView(this);
    loading.setString(kLoadingText);
    loading.showLoadingIndicators();
    // The frame with the bar and the overlay goes out first; the slow part comes after it.
    AfterNextFrame::run(this, [this] { makeScreen(); });
}

void PendingWebScreen::viewWillDisappear() {
    LoadingIndicator::sharedInstance().hideIfOn(this);
}

void PendingWebScreen::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), colors::listBackground());
}

void PendingWebScreen::makeScreen() {
    NavigationStack* stack = navigationStack();
    if (!make_ || !stack || stack->topViewController() != this) {
        return;  // the member left before the screen was made
    }
    QPointer<PendingWebScreen> self(this);
    ViewController* screen = std::exchange(make_, nullptr)();
    if (!self) {
        delete screen;
        return;
    }
    if (screen) {
        stack->replaceTopViewController(screen);
    } else {
        stack->popViewController(false);
    }
}

}  // namespace pelloran

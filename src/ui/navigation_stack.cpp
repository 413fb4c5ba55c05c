#include "ui/navigation_stack.h"

#include "ui/colors.h"
#include "ui/navigation_bar.h"
#include "ui/ui_scale.h"

#include <QStackedWidget>

namespace pelloran {

NavigationStack::NavigationStack(ViewController* root, QWidget* parent)
    : QWidget(parent), bar_(new NavigationBar(this)), pages_(new QStackedWidget(this)) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colors::listBackground());
    setPalette(pal);
    connect(bar_, &NavigationBar::backClicked, this, &NavigationStack::backClicked);
    screens_.append(root);
    root->setStack(this);
    pages_->addWidget(root);
    show(root);
}

ViewController* NavigationStack::rootViewController() const {
    return screens_.isEmpty() ? nullptr : screens_.first().data();
}

ViewController* NavigationStack::topViewController() const {
    return screens_.isEmpty() ? nullptr : screens_.last().data();
}

QList<ViewController*> NavigationStack::viewControllers() const {
    QList<ViewController*> out;
    for (const auto& s : screens_) {
        if (s) {
            out.append(s);
        }
    }
    return out;
}

void NavigationStack::pushViewController(ViewController* screen, bool) {
    if (!screen || screens_.contains(screen)) {
        return;
    }
    if (ViewController* top = topViewController()) {
        top->viewWillDisappear();
    }
    enter(screen);
}

void NavigationStack::replaceTopViewController(ViewController* screen) {
    if (!screen || screens_.size() <= 1 || screens_.contains(screen)) {
        return;
    }
    QPointer<ViewController> leaving = screens_.takeLast();
    if (leaving) {
        leaving->viewWillDisappear();
    }
    enter(screen);
    discard(leaving);
}

void NavigationStack::enter(ViewController* screen) {
    screens_.append(screen);
    screen->setStack(this);
    pages_->addWidget(screen);
    connect(screen, &ViewController::navigationItemChanged, this, [this, screen] {
        if (screen == topViewController()) {
            refreshBar();
        }
    });
    screen->viewWillAppear();
    show(screen);
}

void NavigationStack::discard(const QPointer<ViewController>& screen) {
    if (screen) {
        pages_->removeWidget(screen);
        screen->hide();
        screen->deleteLater();
    }
}

void NavigationStack::popViewController(bool) {
    if (screens_.size() <= 1) {
        return;
    }
    QPointer<ViewController> leaving = screens_.takeLast();
    if (leaving) {
        leaving->viewWillDisappear();
    }
    ViewController* top = topViewController();
    if (top) {
        top->viewWillAppear();
        show(top);
    }
    discard(leaving);
}

void NavigationStack::popToRootViewController(bool) {
    if (screens_.size() <= 1) {
        return;
    }
    if (ViewController* top = topViewController()) {
        top->viewWillDisappear();
    }
    while (screens_.size() > 1) {
        discard(screens_.takeLast());
    }
    if (ViewController* root = rootViewController()) {
        root->viewWillAppear();
        show(root);
    }
}

void NavigationStack::setNavigationBarHidden(bool hidden) {
    if (barHidden_ == hidden) {
        return;
    }
    barHidden_ = hidden;
    relayout();
}

void NavigationStack::setRootBackButton(const QString& title, std::function<void()> action) {
    rootBackTitle_ = title;
    rootBackAction_ = std::move(action);
    refreshBar();
}

void NavigationStack::notifyWillAppear() {
    if (ViewController* top = topViewController()) {
        top->viewWillAppear();
    }
}

void NavigationStack::notifyWillDisappear() {
    if (ViewController* top = topViewController()) {
        top->viewWillDisappear();
    }
}

void NavigationStack::resizeEvent(QResizeEvent*) {
    relayout();
}

void NavigationStack::show(ViewController* screen) {
    pages_->setCurrentWidget(screen);
    refreshBar();
    Q_EMIT topChanged(screen);
}

void NavigationStack::refreshBar() {
    ViewController* top = topViewController();
    if (!top) {
        return;
    }
    bar_->setTitle(top->title().isEmpty() ? top->tabTitle() : top->title());
    if (screens_.size() > 1) {
        ViewController* below = screens_[screens_.size() - 2];
        const QString t =
            below ? (below->title().isEmpty() ? below->tabTitle() : below->title()) : QString();
        bar_->setBackTitle(t.isEmpty() ? QStringLiteral("Back") : t);
    } else {
        bar_->setBackTitle(rootBackAction_ ? rootBackTitle_ : QString());
    }
    bar_->setItems(top->leftBarWidget(), top->rightBarWidget());
}

void NavigationStack::relayout() {
    const UiScale s = UiScale::of(this);
    const int barH = barHidden_ ? 0 : s.px(NavigationBar::kHeightPoints);
    bar_->setVisible(!barHidden_);
    bar_->setGeometry(0, 0, width(), barH);
    pages_->setGeometry(0, barH, width(), height() - barH);
}

void NavigationStack::backClicked() {
    if (screens_.size() > 1) {
        popViewController(true);
    } else if (rootBackAction_) {
        rootBackAction_();
    }
}

}  // namespace pelloran

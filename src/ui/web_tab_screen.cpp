#include "ui/web_tab_screen.h"

#include "ui/web_screen_loader.h"

namespace pelloran {

WebTabScreen::WebTabScreen(WebTab tab, const QString& tabTitle, const QString& imageName,
                           const ScreenContext& context, ViewController* target, QWidget* parent)
    : PlaceholderScreen(tabTitle, tabTitle, imageName, parent),
      tab_(tab),
      context_(context),
      target_(target) {}

void WebTabScreen::viewWillAppear() {
    if (!asked_) {
        asked_ = true;
        WebScreenFactory* factory = context_.web ? context_.web->factory() : nullptr;
        if (factory) {
            screen_ = factory->createTabScreen(tab_, context_, target_);
        }
        if (screen_) {
            screen_->setParent(this);
            screen_->setGeometry(rect());
            screen_->show();
            // The bar shows what the web screen calls itself from now on.
            connect(screen_, &ViewController::navigationItemChanged, this, [this] {
                setTitle(screen_->title());
                setLeftBarWidget(screen_->leftBarWidget());
                setRightBarWidget(screen_->rightBarWidget());
            });
            Q_EMIT screen_->navigationItemChanged();
        }
    }
    if (screen_) {
        screen_->viewWillAppear();
    }
}

void WebTabScreen::viewWillDisappear() {
    if (screen_) {
        screen_->viewWillDisappear();
    }
}

void WebTabScreen::resizeEvent(QResizeEvent*) {
    if (screen_) {
        screen_->setGeometry(rect());
    }
}

}  // namespace pelloran

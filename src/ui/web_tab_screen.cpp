#include "ui/web_tab_screen.h"

#include "ui/after_next_frame.h"
#include "ui/loading_indicator.h"
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
        if (context_.web && !context_.web->wasTried()) {
            // The first web screen of the run loads the plugin, which holds the UI thread for a
            // moment: the tab's bar and the loading overlay are shown before that.
            LoadingIndicator& loading = LoadingIndicator::sharedInstance();
            loading.setParentView(this);
            loading.setString(QStringLiteral("Loading..."));
            loading.showLoadingIndicators();
            AfterNextFrame::run(this, [this] {
                LoadingIndicator::sharedInstance().hideIfOn(this);
                if (isVisible()) {
                    makeScreen();
                } else {
                    asked_ = false;  // the member moved on first: made when the tab next shows
                }
            });
            return;
        }
        makeScreen();
        return;
    }
    if (screen_) {
        screen_->viewWillAppear();
    }
}

void WebTabScreen::makeScreen() {
    WebScreenFactory* factory = context_.web ? context_.web->factory() : nullptr;
    if (factory) {
        screen_ = factory->createTabScreen(tab_, context_, target_);
    }
    if (!screen_) {
        return;
    }
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
    screen_->viewWillAppear();
}

void WebTabScreen::viewWillDisappear() {
    LoadingIndicator::sharedInstance().hideIfOn(this);
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

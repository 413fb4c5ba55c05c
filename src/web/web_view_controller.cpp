#include "web/web_view_controller.h"

#include "net/operation_queue.h"
#include "site/site_config.h"
#include "ui/colors.h"
#include "ui/list_screen_target.h"
#include "ui/loading_indicator.h"
#include "ui/navigation_stack.h"
#include "web/bar_buttons.h"
#include "web/cookie_bridge.h"
#include "web/page_scheme_handler.h"
#include "web/page_scripts.h"
#include "web/web_rules.h"
#include "web/web_session.h"

#include <QChildEvent>
#include <QQuickWidget>
#include <QWebEngineView>

namespace pelloran::web {

namespace {
const QString kLoadingText = QStringLiteral("Loading...");
constexpr qreal kBarHeight = 30;
// A page is never shown smaller than this part of its phone size to make it fit.
constexpr qreal kSmallestFit = 0.5;
const QString kWidths =
    QStringLiteral("[document.documentElement.scrollWidth, document.documentElement.clientWidth]");
}  // namespace

WebViewController::WebViewController(WebSession& session, const ScreenContext& context,
                                     ListScreenTarget* target, QWidget* parent)
    : ViewController(parent),
      session_(session),
      context_(context),
      target_(target),
      queue_(std::make_unique<OperationQueue>(1)),
      view_(new QWebEngineView(this)),
      page_(new WebPage(session.profile(), view_)) {
    setTitle(QString());
    // The site's pages are dark: until one paints, the screen shows the app's dark grey, never
    // a white flash (the view's own background shows before its first frame, the page's
    // behind a document that has none yet).
    page_->setBackgroundColor(colors::listBackground());
    QPalette dark = view_->palette();
    dark.setColor(QPalette::Window, colors::listBackground());
    view_->setPalette(dark);
    view_->setAutoFillBackground(true);
    // The view draws the page through a Qt Quick widget of its own, made with the page's first
    // load, whose first frame (before the page has drawn) is its clear colour: white unless it
    // is told the page's background.
    view_->installEventFilter(this);
    view_->setPage(page_);
    // Pages are laid out for a phone: one CSS pixel is one point of the app's layout.
    page_->setZoomFactor(context_.scale.factor());
    page_->setNavigationDecision([this](const QUrl& url, WebPage::NavigationType type) {
        // What the core's requests changed in the jar (a re-login, say) goes with the load.
        session_.cookieBridge().pushCoreCookies();
        return shouldStartLoad(url, type);
    });
    connect(page_, &QWebEnginePage::loadStarted, this, &WebViewController::loadStarted);
    connect(page_, &QWebEnginePage::loadFinished, this, &WebViewController::loadFinished);
}

WebViewController::~WebViewController() {
    // A fetch may still be waiting on the network: the session takes the queue, so this
    // screen's going never waits for it.
    session_.retireQueue(std::move(queue_));
    // The bar items may live in the navigation bar by now; they go with the screen.
    delete leftBarWidget();
    delete rightBarWidget();
}

void WebViewController::initializeWebView(const std::optional<QString>& text) {
    result_ = text;
    showPage(text.value_or(QString()), baseUrl());
}

void WebViewController::showPage(const QString& text, const QUrl& base) {
    session_.cookieBridge().pushCoreCookies();
    const QByteArray utf8 = text.toUtf8();
    if (fitsInDataUrl(utf8)) {
        page_->setHtml(text, base);
    } else {
        page_->load(session_.pages().put(this, withBaseHref(text, base).toUtf8()));
    }
}

void WebViewController::loadRequest(const QUrl& url) {
    page_->triggerAction(QWebEnginePage::Stop);
    page_->load(url);
}

void WebViewController::cancel() {
    page_->triggerAction(QWebEnginePage::Stop);
    hideLoading();
    releaseTarget();
    if (NavigationStack* stack = navigationStack(); stack && stack->topViewController() == this) {
        stack->popViewController(false);
    }
}

void WebViewController::viewWillDisappear() {
    if (loading_) {
        page_->triggerAction(QWebEnginePage::Stop);
    }
    // The overlay is shared: it doesn't stay behind on a screen that left.
    LoadingIndicator::sharedInstance().hideIfOn(this);
}

QUrl WebViewController::baseUrl() const {
    return QUrl(QStringLiteral("http://") + context_.site.config->siteHost + QLatin1Char('/'));
}

void WebViewController::loadStarted() {
    loading_ = true;
    page_->setZoomFactor(context_.scale.factor());
    webViewDidStartLoad();
}

void WebViewController::loadFinished(bool ok) {
    loading_ = false;
    ++loadsEnded_;
    if (ok) {
        fitToWidth();
    }
    if (ok) {
        webViewDidFinishLoad();
    } else {
        webViewDidFailLoad();
    }
    Q_EMIT loadEnded(ok);
}

void WebViewController::fitToWidth() {
    page_->runJavaScript(kWidths, [page = QPointer<WebPage>(page_), this](const QVariant& v) {
        const QVariantList widths = v.toList();
        if (!page || widths.size() != 2) {
            return;
        }
        const qreal content = widths[0].toReal();
        const qreal shown = widths[1].toReal();
        if (content > shown && shown > 0) {
            const qreal phone = context_.scale.factor();
            page->setZoomFactor(
                std::max(page->zoomFactor() * shown / content, phone * kSmallestFit));
        }
    });
}

void WebViewController::webViewDidStartLoad() {
    showLoading(0);
}

void WebViewController::webViewDidFinishLoad() {
    runScript(kLinkScript);
    hideLoading();
    releaseTarget();
    if (back_) {
        back_->setEnabled(true);
    }
}

void WebViewController::webViewDidFailLoad() {
    // A page that could not be shown must not leave the member stuck: the overlay goes, the
    // list and the way back work again.
    hideLoading();
    releaseTarget();
    if (back_) {
        back_->setEnabled(true);
    }
}

bool WebViewController::shouldStartLoad(const QUrl&, WebPage::NavigationType) {
    return true;
}

void WebViewController::showLoading(int offsetPoints) {
    if (!isVisible()) {
        pendingOverlay_ = offsetPoints;
        return;
    }
    pendingOverlay_.reset();
    LoadingIndicator& loading = LoadingIndicator::sharedInstance();
    loading.setParentView(this);
    loading.setString(kLoadingText);
    loading.setOffset(offsetPoints);
    loading.showLoadingIndicators();
}

void WebViewController::reshowLoading(int offsetPoints) {
    if (!isVisible()) {
        pendingOverlay_ = offsetPoints;
        return;
    }
    LoadingIndicator::sharedInstance().hideLoadingIndicators();
    showLoading(offsetPoints);
}

void WebViewController::hideLoading() {
    pendingOverlay_.reset();
    LoadingIndicator& loading = LoadingIndicator::sharedInstance();
    // A screen out of sight leaves alone an overlay that another screen shows.
    if (QWidget* box = loading.box(); isVisible() || (box && isAncestorOf(box))) {
        loading.hideLoadingIndicators();
    }
}

void WebViewController::runScript(const QString& script) {
    page_->runJavaScript(script);
}

void WebViewController::releaseTarget() {
    if (target_) {
        target_->webPageLoaded();
    }
}

void WebViewController::buildBackBar(qreal areaWidth) {
    auto* area = new BarArea(QSizeF(areaWidth, kBarHeight), this);
    area->hide();  // the navigation bar shows it
    back_ = new ToolbarButton(QStringLiteral("back.png"), area);
    area->place(back_, 0);
    back_->setEnabled(false);  // until the first page has loaded
    connect(back_, &QAbstractButton::clicked, this, &WebViewController::cancel);
    setLeftBarWidget(area);
}

bool WebViewController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::ChildPolished) {
        auto* child = static_cast<QChildEvent*>(event)->child();
        if (auto* quick = qobject_cast<QQuickWidget*>(child)) {
            quick->setClearColor(page_->backgroundColor());
        }
    }
    return ViewController::eventFilter(watched, event);
}

void WebViewController::resizeEvent(QResizeEvent*) {
    view_->setGeometry(rect());
}

void WebViewController::showEvent(QShowEvent*) {
    if (pendingOverlay_) {
        showLoading(*pendingOverlay_);
    }
}

}  // namespace pelloran::web

#pragma once
// The common base of the web screens: a web view filling the screen, the page text it showed
// first, the shared busy overlay while a page loads, the screen that opened it (its target),
// and its own queue for page fetches (one at a time; results come back on the UI thread).
//
// The base behaviour is the profile page's: the page text is shown with the site's address as
// its base, the link script runs after each load, and when a load ends the overlay goes, the
// target list takes row selection and its tabs again, and the back button is enabled.
// Subclasses change the base address, the load callbacks and the navigation decisions.
//
// Page texts that can't go through setHtml() (over 2 MB as a data: URL) are served from memory
// with a <base href> for the same base address. A load in progress stops when the screen is
// about to disappear. Closing the screen never waits for its fetch. UI thread only.

#include "ui/screen_context.h"
#include "ui/view_controller.h"
#include "web/web_page.h"

#include <QPointer>
#include <QUrl>
#include <memory>
#include <optional>

class QWebEngineView;

namespace pelloran {
class ListScreenTarget;
class OperationQueue;
}  // namespace pelloran

namespace pelloran::web {

class BarArea;
class ToolbarButton;
class WebSession;

class WebViewController : public ViewController {
    Q_OBJECT
    // For programs that drive the app without linking the web screens (the screens tool).
    Q_PROPERTY(int loadsEnded READ loadsEnded)
    Q_PROPERTY(bool loading READ isLoading)
public:
    WebViewController(WebSession& session, const ScreenContext& context, ListScreenTarget* target,
                      QWidget* parent = nullptr);
    ~WebViewController() override;

    QWebEngineView* webView() const { return view_; }
    WebPage* webPage() const { return page_; }
    // The page text shown first (absent until it arrived, or when none came).
    const std::optional<QString>& result() const { return result_; }
    OperationQueue& operationQueue() const { return *queue_; }
    // Loads of the view that have ended since the screen was made (finished or failed).
    int loadsEnded() const { return loadsEnded_; }
    bool isLoading() const { return loading_; }
    // The navigation bar's back button, on screens that have one.
    ToolbarButton* backButton() const { return back_; }

    // Shows a fetched page text (none: an empty page).
    virtual void initializeWebView(const std::optional<QString>& text);
    // Stops a load in progress and loads `url` in the view.
    void loadRequest(const QUrl& url);
    // Stops loading, hides the busy overlay and leaves the screen.
    void cancel();

    void viewWillDisappear() override;

Q_SIGNALS:
    // A load of the view ended, after the screen handled it.
    void loadEnded(bool ok);

protected:
    // The address the page texts are shown with: "http://" + site host + "/".
    virtual QUrl baseUrl() const;
    virtual void webViewDidStartLoad();
    virtual void webViewDidFinishLoad();
    // A load that failed, was stopped, or a navigation that was refused.
    virtual void webViewDidFailLoad();
    virtual bool shouldStartLoad(const QUrl& url, WebPage::NavigationType type);

    // Keeps `text` as the page text shown first, without showing it.
    void keepResult(const std::optional<QString>& text) { result_ = text; }
    // Loads `text` into the view with `base` as its address.
    void showPage(const QString& text, const QUrl& base);
    // Shows the busy overlay over this screen; while the screen is out of sight, when it comes
    // into sight (the one overlay stays with the screen on screen).
    void showLoading(int offsetPoints);
    void hideLoading();
    // Moves the busy overlay onto this screen (hides it and shows it again here).
    void reshowLoading(int offsetPoints);
    void runScript(const QString& script);
    // Lets the target list take row selection and its tabs again.
    void releaseTarget();

    const ScreenContext& context() const { return context_; }
    WebSession& session() const { return session_; }
    ListScreenTarget* target() const { return target_; }

    // The back button of the base navigation bar: "back.png" at the left of an area that wide
    // (points), 30 high.
    void buildBackBar(qreal areaWidth = 160);

    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadStarted();
    void loadFinished(bool ok);
    // Scales the page down when it is wider than the view, as a phone shows a desktop page.
    void fitToWidth();

    WebSession& session_;
    ScreenContext context_;
    ListScreenTarget* target_;
    std::unique_ptr<OperationQueue> queue_;
    QWebEngineView* view_;
    WebPage* page_;
    std::optional<QString> result_;
    ToolbarButton* back_ = nullptr;
    std::optional<int> pendingOverlay_;  // offset of an overlay asked for while out of sight
    bool loading_ = false;
    int loadsEnded_ = 0;
};

}  // namespace pelloran::web

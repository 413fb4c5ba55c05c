#pragma once
// The page of a web screen's view: it asks its screen before following a navigation, and opens
// links that would open a new window in itself (the app has one window). UI thread only.

#include <QAuthenticator>
#include <QWebEnginePage>
#include <functional>

namespace pelloran::web {

class WebPage : public QWebEnginePage {
    Q_OBJECT
public:
    // True to follow the navigation. Called for the page's own frame only: frames inside it
    // (advertising, widgets) load as they like.
    using NavigationDecision = std::function<bool(const QUrl& url, NavigationType type)>;

    WebPage(QWebEngineProfile* profile, QObject* parent);

    void setNavigationDecision(NavigationDecision decision) { decide_ = std::move(decision); }

    // True when it filled in credentials for a server's (not a proxy's) challenge. Without one,
    // or when it answers false, every challenge is cancelled: the engine would otherwise send
    // empty credentials again and again.
    using AuthenticationAnswer = std::function<bool(const QUrl& url, QAuthenticator* auth)>;
    void setAuthenticationAnswer(AuthenticationAnswer answer) { answer_ = std::move(answer); }

    // A page text this screen loads itself (setHtml, or a long page served from memory): always
    // shown, whatever the screen's rules for the links in it.
    static bool isOwnContent(const QUrl& url);

Q_SIGNALS:
    // The screen refused to follow a navigation to `url`.
    void navigationRefused(const QUrl& url);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

private:
    NavigationDecision decide_;
    AuthenticationAnswer answer_;
};

}  // namespace pelloran::web

#include "web/web_page.h"

#include "web/page_scheme_handler.h"

#include <QWebEngineNewWindowRequest>

namespace pelloran::web {

WebPage::WebPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {
    connect(this, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest& request) {
                if (request.isUserInitiated()) {
                    load(request.requestedUrl());
                }
            });
    connect(this, &QWebEnginePage::authenticationRequired, this,
            [this](const QUrl& url, QAuthenticator* authenticator) {
                if (!answer_ || !answer_(url, authenticator)) {
                    *authenticator = QAuthenticator();  // cancelled: the server's answer shows
                }
            });
    connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
            [](const QUrl&, QAuthenticator* authenticator, const QString&) {
                *authenticator = QAuthenticator();
            });
}

bool WebPage::isOwnContent(const QUrl& url) {
    // The engine refuses data: addresses to pages themselves, so a data: load is one of ours.
    return url.scheme() == QLatin1String("data") || PageSchemeHandler::isPageUrl(url);
}

bool WebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (!isMainFrame || isOwnContent(url) || !decide_) {
        return true;
    }
    if (decide_(url, type)) {
        return true;
    }
    Q_EMIT navigationRefused(url);
    return false;
}

}  // namespace pelloran::web

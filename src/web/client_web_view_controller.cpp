#include "web/client_web_view_controller.h"

#include "net/operation_queue.h"
#include "remote/bit_client.h"
#include "remote/client_setup.h"
#include "remote/fetch_page_remote_ui.h"
#include "remote/server_info.h"
#include "ui/navigation_stack.h"
#include "web/bar_buttons.h"
#include "web/web_rules.h"

#include <QAuthenticator>

namespace pelloran::web {

namespace {

QString noticePage(const QString& heading, const QString& text) {
    return QStringLiteral(
               "<html><head><meta name=\"viewport\" content=\"width=device-width\">"
               "<style>body{font-family:Arial,'Liberation Sans',sans-serif;background:#222;"
               "color:#ddd;margin:24px 16px}h3{color:#fff}</style></head><body><h3>%1</h3>"
               "<p>%2</p></body></html>")
        .arg(heading.toHtmlEscaped(), text.toHtmlEscaped());
}

}  // namespace

ClientWebViewController::ClientWebViewController(WebSession& session, const ScreenContext& context,
                                                 Role role, ViewController*, QWidget* parent)
    : WebViewController(session, context, nullptr, parent), role_(role) {
    setTabBarItem(QStringLiteral("Remote UI"), QStringLiteral("tabbar-remote.png"));
    // The clients' own interfaces are drawn for a browser's white default.
    webPage()->setBackgroundColor(Qt::white);
    if (role_ == Role::ConnectionTest) {
        buildBackBar(ToolbarButton::kWidth);  // the title takes the rest of the bar
        // A test that hangs must not keep the member here.
        backButton()->setEnabled(true);
        setTitle(QStringLiteral("Test remote settings"));
    }
    // Only this screen answers a challenge, and only its client's.
    webPage()->setAuthenticationAnswer(
        [this](const QUrl& requestUrl, QAuthenticator* authenticator) {
            return answerAuthentication(requestUrl, authenticator);
        });
}

QUrl ClientWebViewController::baseUrl() const {
    // The page's own links and requests carry no credentials: the engine asks for them, and
    // answerAuthentication() gives them to this address only.
    return QUrl(url_).adjusted(QUrl::RemoveUserInfo);
}

void ClientWebViewController::viewWillAppear() {
    if (NavigationStack* stack = navigationStack()) {
        stack->setNavigationBarHidden(role_ == Role::RemoteUiTab);
    }
    showLoading(-4);
    // The settings as this fetch reads them (the password from wherever the remote settings
    // keep it: the keyring or the settings file); the credentials are kept to answer the page.
    // Clients that sign in by a form of their own (qBittorrent, Deluge) get no HTTP credentials:
    // the member signs in on their page.
    const ServerInfo::Values settings = context().remote.server->reloaded();
    const std::unique_ptr<BitClient> client = clientFromSettings(settings);
    basicAuthentication_ = client && client->usesHttpAuthentication();
    username_ = settings.username.value_or(QString());
    password_ = settings.password.value_or(QString());
    auto fetch = std::make_unique<FetchPageRemoteUI>(
        context().remote, role_ == Role::ConnectionTest, this,
        [this](const std::optional<QString>& text) { initializeWebView(text); });
    url_ = fetch->url();
    operationQueue().addOperation(std::move(fetch));
}

void ClientWebViewController::initializeWebView(const std::optional<QString>& text) {
    answered_.clear();
    if (url_.isEmpty()) {
        keepResult(text);
        showPage(noticePage(QStringLiteral("No remote client is set up"),
                            QStringLiteral("Choose your BitTorrent client and enter its address "
                                           "on the Remote Settings tab.")),
                 QUrl());
    } else if (!text) {
        keepResult(text);
        showPage(noticePage(QStringLiteral("Your client did not answer"),
                            QStringLiteral("Nothing answered at %1. Make sure the computer is "
                                           "on, the client runs with its web interface switched "
                                           "on, and the Remote Settings are right.")
                                .arg(baseUrl().toString())),
                 QUrl());
    } else {
        WebViewController::initializeWebView(text);
    }
    reshowLoading(-25);
}

bool ClientWebViewController::answerAuthentication(const QUrl& requestUrl,
                                                   QAuthenticator* authenticator) {
    const bool ours = !url_.isEmpty() && isSameOrigin(requestUrl, baseUrl());
    if (!ours || !basicAuthentication_ || answered_.contains(requestUrl) || username_.isEmpty()) {
        *authenticator = QAuthenticator();  // refused: the engine shows the server's answer
        return false;
    }
    // Credentials the client refused for an address are not sent there again and again.
    answered_.insert(requestUrl);
    authenticator->setUser(username_);
    authenticator->setPassword(password_);
    return true;
}

void ClientWebViewController::webViewDidStartLoad() {}

void ClientWebViewController::webViewDidFinishLoad() {
    hideLoading();
}

void ClientWebViewController::webViewDidFailLoad() {
    hideLoading();
}

}  // namespace pelloran::web

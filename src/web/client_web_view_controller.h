#pragma once
// The web interface of the member's own BitTorrent client, in two roles: the "Remote UI" tab,
// and the connection test pushed by the Remote Settings screen (its target), which also says
// whether the settings work. Every time the screen comes on screen the settings are read again
// and the client's page is fetched (handshake first) and shown with the client's address as
// its base, so its scripts and style sheets load from the client.
//
// The client's password is answered by the app, never typed, and only to the client's own
// address (scheme, host and port): never to another host its pages link or redirect to, and
// never to a client that signs in by a form of its own. When no client is chosen, or it does
// not answer, a page says so. UI thread only.

#include "web/web_view_controller.h"

#include <QSet>

class QAuthenticator;

namespace pelloran::web {

class ClientWebViewController : public WebViewController {
    Q_OBJECT
public:
    enum class Role { RemoteUiTab, ConnectionTest };

    // `target`: the browse list for the tab, the Remote Settings screen for the test (the
    // role says which; neither is called back).
    ClientWebViewController(WebSession& session, const ScreenContext& context, Role role,
                            ViewController* target, QWidget* parent = nullptr);

    Role role() const { return role_; }
    // The address of the client's web interface as the last fetch used it ("" when no client
    // is chosen); it carries the credentials when a user name is set.
    QString url() const { return url_; }

    void initializeWebView(const std::optional<QString>& text) override;
    void viewWillAppear() override;

    // What the screen answers to a request for credentials from `requestUrl`: the client's
    // user name and password for its own address only, once per address and page shown (the
    // client refusing them once is its answer).
    bool answerAuthentication(const QUrl& requestUrl, QAuthenticator* authenticator);

protected:
    QUrl baseUrl() const override;
    void webViewDidStartLoad() override;
    void webViewDidFinishLoad() override;
    void webViewDidFailLoad() override;

private:
    Role role_;
    QString url_;
    QString username_;
    QString password_;
    bool basicAuthentication_ = false;  // the chosen client takes HTTP Basic credentials
    QSet<QUrl> answered_;
};

}  // namespace pelloran::web

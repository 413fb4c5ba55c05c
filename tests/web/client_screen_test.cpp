// The member's own client in the "Remote UI" tab and in the connection test: its web
// interface with the credentials answered by the app (to its own address only), and a page
// that says why when there is nothing to show.

#include "../support/qbittorrent_daemon.h"
#include "../support/transmission_daemon.h"
#include "fake_clients.h"
#include "remote/bit_client_registry.h"
#include "store/keyring_secret_store.h"
#include "store/settings_keys.h"
#include "support/fake_keyring.h"
#include "support/need_installed.h"
#include "support/test_server.h"
#include "ui/loading_indicator.h"
#include "web/bar_buttons.h"
#include "web/client_web_view_controller.h"
#include "web_fixture.h"

#include <QAuthenticator>

namespace pelloran::test {
namespace {

using web::ClientWebViewController;
using Role = ClientWebViewController::Role;

class ClientScreenTest : public WebFixture {
protected:
    void useClient(const QString& name, int port, const QString& user = QString(),
                   const QString& password = QString()) {
        server.setClient(name);
        server.setAddress(QStringLiteral("127.0.0.1"));
        server.setPort(QString::number(port));
        server.setUsername(user);
        server.setPassword(password);
    }
    ClientWebViewController* open(Role role) {
        ViewController settingsScreen;
        return show(std::make_unique<ClientWebViewController>(webSession(), context(), role,
                                                              &settingsScreen));
    }
    std::vector<QString> alertTitles() const {
        std::vector<QString> titles;
        for (const Alert& a : alerts.alerts()) {
            titles.push_back(a.title);
        }
        return titles;
    }
    static QString bodyText(ClientWebViewController* screen) {
        return js(screen->webPage(), QStringLiteral("document.body.innerText")).toString();
    }
};

TEST_F(ClientScreenTest, TheTabShowsTheClientsInterfaceWithTheCredentialsAnsweredByTheApp) {
    fake::FakeVuze vuze;
    ASSERT_TRUE(vuze.start());
    vuze.setCredentials(QStringLiteral("member"), QStringLiteral("s3cret:pass"));
    useClient(QStringLiteral("Vuze"), vuze.port(), QStringLiteral("member"),
              QStringLiteral("s3cret:pass"));
    ClientWebViewController* tab = open(Role::RemoteUiTab);
    ASSERT_TRUE(waitForLoads(tab));

    EXPECT_EQ(tab->webPage()->title(), QLatin1String(fake::kVuzeWebUiTitle));
    // The page's style sheet comes from the client, relative to its address, and the engine's
    // request for it carries the credentials the app answered.
    const auto styleSheets = [&] {
        std::vector<fake::ReceivedRequest> found;
        for (const fake::ReceivedRequest& r : vuze.requests()) {
            if (r.path == "/styles/vuze.css") {
                found.push_back(r);
            }
        }
        return found;
    };
    ASSERT_TRUE(
        waitFor([&] { return !styleSheets().empty() && styleSheets().back().status == 200; }));
    EXPECT_TRUE(styleSheets().back().header("Authorization").startsWith("Basic "));
    EXPECT_TRUE(alerts.alerts().empty());  // the tab raises no alert when all is well
    EXPECT_FALSE(LoadingIndicator::sharedInstance().isShown());

    // The test role: the same page, and "Success!".
    alerts.clear();
    ClientWebViewController* test = open(Role::ConnectionTest);
    ASSERT_TRUE(waitForLoads(test));
    EXPECT_EQ(test->title(), QStringLiteral("Test remote settings"));
    EXPECT_TRUE(test->backButton()->isEnabled());
    EXPECT_EQ(alertTitles(), std::vector<QString>{QStringLiteral("Success!")});
}

TEST_F(ClientScreenTest, ThePasswordGoesToTheClientsOwnAddressOnly) {
    // A client whose page links, and redirects, to another server that asks for credentials.
    TestServer elsewhere;
    elsewhere.server().Get("/.*", [](const httplib::Request&, httplib::Response& res) {
        res.status = 401;
        res.set_header("WWW-Authenticate", "Basic realm=\"elsewhere\"");
        res.set_content("<html><body id=\"refused\">refused</body></html>", "text/html");
    });
    ASSERT_TRUE(elsewhere.start());
    TestServer client;
    const std::string away = elsewhere.url(QStringLiteral("/away")).toStdString();
    client.server().Get("/", [away](const httplib::Request& req, httplib::Response& res) {
        if (req.get_header_value("Authorization").empty()) {
            res.status = 401;
            res.set_header("WWW-Authenticate", "Basic realm=\"client\"");
            return;
        }
        res.set_content("<html><head><title>Client</title></head><body><a id=\"away\" href=\"" +
                            away + "\">away</a></body></html>",
                        "text/html");
    });
    client.server().Get("/bounce", [away](const httplib::Request&, httplib::Response& res) {
        res.set_redirect(away);
    });
    ASSERT_TRUE(client.start());
    useClient(QStringLiteral("Vuze"), client.port(), QStringLiteral("member"),
              QStringLiteral("s3cret"));
    ClientWebViewController* tab = open(Role::RemoteUiTab);
    ASSERT_TRUE(waitForLoads(tab));
    QWebEnginePage* page = tab->webPage();
    ASSERT_EQ(page->title(), QStringLiteral("Client"));

    js(page, QStringLiteral("document.getElementById('away').click()"));
    ASSERT_TRUE(waitFor([&] { return elsewhere.requestCount() >= 1 && !tab->isLoading(); }));
    page->load(client.url(QStringLiteral("/bounce")));
    ASSERT_TRUE(waitFor([&] { return elsewhere.requestCount() >= 2 && !tab->isLoading(); }));
    for (const RecordedRequest& r : elsewhere.requests()) {
        EXPECT_FALSE(r.hasHeader("Authorization")) << r.target;
    }

    // The rule itself: the client's scheme, host and port, once per address and page shown.
    const struct {
        QString url;
        bool answered;
    } asks[] = {
        {elsewhere.url(QStringLiteral("/")), false},
        {QStringLiteral("http://localhost:%1/").arg(client.port()), false},
        {QStringLiteral("https://127.0.0.1:%1/").arg(client.port()), false},
        {client.url(QStringLiteral("/transmission/rpc")), true},
        {client.url(QStringLiteral("/transmission/web/style.css")), true},
        {client.url(QStringLiteral("/transmission/rpc")), false},  // refused once: not again
    };
    tab->initializeWebView(QStringLiteral("<html></html>"));
    for (const auto& ask : asks) {
        QAuthenticator authenticator;
        EXPECT_EQ(tab->answerAuthentication(QUrl(ask.url), &authenticator), ask.answered)
            << ask.url.toStdString();
        EXPECT_EQ(authenticator.user().isEmpty(), !ask.answered);
        EXPECT_EQ(authenticator.password(), ask.answered ? QStringLiteral("s3cret") : QString());
    }
}

TEST_F(ClientScreenTest, TheAnsweredPasswordIsTheKeyringsAndOnlyClientsTakingBasicGetIt) {
    // The remote settings as the app keeps them: the password in the keyring, none in the file.
    auto keyring = std::make_shared<FakeKeyringState>();
    QString whyNot;
    std::unique_ptr<KeyringSecretStore> secrets =
        KeyringSecretStore::open(settings, std::make_unique<FakeKeyring>(keyring),
                                 QStringLiteral("web-test"), QDeadlineTimer(5000), &whyNot);
    ASSERT_TRUE(secrets) << whyNot.toStdString();
    ServerInfo keyringServer(settings, secrets.get());
    keyringServer.setAddress(QStringLiteral("127.0.0.1"));
    keyringServer.setPort(QStringLiteral("9"));  // nothing answers: only the rule is asked
    keyringServer.setUsername(QStringLiteral("member"));
    keyringServer.setPassword(QStringLiteral("k3yring"));
    ASSERT_TRUE(secrets->waitForWrites(QDeadlineTimer(5000)));
    ASSERT_FALSE(settings.string(keys::serverPassword).has_value());
    ScreenContext c = context();
    c.remote.server = &keyringServer;

    // Form sign-in clients (qBittorrent, Deluge) take the credentials on their own page.
    const struct {
        QString client;
        bool answered;
    } clients[] = {
        {QStringLiteral("Vuze"), true},     {QStringLiteral("Transmission"), true},
        {QStringLiteral("Utorrent"), true}, {QStringLiteral("qBittorrent"), false},
        {QStringLiteral("Deluge"), false},
    };
    for (const auto& client : clients) {
        SCOPED_TRACE(client.client.toStdString());
        ASSERT_FALSE(bitClientType(client.client) == nullptr);
        keyringServer.setClient(client.client);
        ViewController settingsScreen;
        ClientWebViewController* tab = show(std::make_unique<ClientWebViewController>(
            webSession(), c, Role::RemoteUiTab, &settingsScreen));
        ASSERT_TRUE(waitForLoads(tab));
        QAuthenticator authenticator;
        EXPECT_EQ(
            tab->answerAuthentication(QUrl(QStringLiteral("http://127.0.0.1:9/")), &authenticator),
            client.answered);
        EXPECT_EQ(authenticator.password(),
                  client.answered ? QStringLiteral("k3yring") : QString());
    }
}

TEST_F(ClientScreenTest, NoClientOrNoAnswerShowsAPageThatSaysSoAndTheFailureAlert) {
    ClientWebViewController* tab = open(Role::RemoteUiTab);
    ASSERT_TRUE(waitForLoads(tab));
    EXPECT_TRUE(tab->url().isEmpty());
    EXPECT_TRUE(bodyText(tab).contains(QStringLiteral("No remote client is set up")));
    EXPECT_EQ(alertTitles(),
              std::vector<QString>{QStringLiteral("Connection with server failed.")});

    // Nothing listens there: the settings are read again when the tab shows again.
    TestServer gone;
    ASSERT_TRUE(gone.start());
    const int port = gone.port();
    gone.stop();
    useClient(QStringLiteral("Transmission"), port, QStringLiteral("member"),
              QStringLiteral("s3cret"));
    alerts.clear();
    tab->viewWillDisappear();
    tab->viewWillAppear();
    ASSERT_TRUE(waitForLoads(tab, 2));
    const QString text = bodyText(tab);
    EXPECT_TRUE(text.contains(QStringLiteral("did not answer"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("http://127.0.0.1:%1/transmission/web/").arg(port)));
    EXPECT_FALSE(text.contains(QStringLiteral("s3cret")));
    EXPECT_EQ(alertTitles(),
              std::vector<QString>{QStringLiteral("Connection with server failed.")});
}

TEST_F(ClientScreenTest, TransmissionsOwnInterfaceRunsInTheTab) {
    PELLORAN_NEED_INSTALLED(!TransmissionDaemon::binaryPath().isEmpty(), "transmission-daemon");
    TransmissionDaemon daemon;
    QString error;
    ASSERT_TRUE(daemon.start(&error)) << error.toStdString();
    useClient(QStringLiteral("Transmission"), daemon.port(), daemon.username(), daemon.password());
    ClientWebViewController* tab = open(Role::RemoteUiTab);
    ASSERT_TRUE(waitForLoads(tab));
    EXPECT_TRUE(tab->webPage()->title().startsWith(QStringLiteral("Transmission")));

    // Its scripts load from the daemon and ask its RPC (session id and credentials) for the
    // torrent count.
    EXPECT_TRUE(waitFor([&] {
        return js(tab->webPage(),
                  QStringLiteral("document.getElementById('filter-count').textContent"))
            .toString()
            .contains(QStringLiteral("Transfer"));
    }));
    EXPECT_TRUE(alerts.alerts().empty());
}

TEST_F(ClientScreenTest, QBittorrentsOwnInterfaceRunsInTheTab) {
    PELLORAN_NEED_INSTALLED(!QBittorrentDaemon::binaryPath().isEmpty(), "qbittorrent-nox");
    QBittorrentDaemon daemon;
    QString error;
    ASSERT_TRUE(daemon.start(&error)) << error.toStdString();
    useClient(QStringLiteral("qBittorrent"), daemon.port(), daemon.username(), daemon.password());
    ClientWebViewController* tab = open(Role::RemoteUiTab);
    ASSERT_TRUE(waitForLoads(tab));
    EXPECT_TRUE(tab->webPage()->title().contains(QStringLiteral("qBittorrent")))
        << tab->webPage()->title().toStdString();
    // Its own sign-in form, for the member: the app answers no credentials to it.
    EXPECT_TRUE(js(tab->webPage(),
                   QStringLiteral("document.querySelector('input[type=password]') !== null"))
                    .toBool());
    EXPECT_TRUE(alerts.alerts().empty());  // the app's handshake signed in
}

}  // namespace
}  // namespace pelloran::test

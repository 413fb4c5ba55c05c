#include "remote/fetch_page_remote_ui.h"

#include "net/deadline.h"
#include "net/http_request.h"
#include "remote/alert_sink.h"
#include "remote/bit_client.h"
#include "remote/client_setup.h"
#include "remote/remote_alerts.h"
#include "remote/server_info.h"

namespace pelloran {

namespace {

QString webUrlFromSettings(ServerInfo& server) {
    const std::unique_ptr<BitClient> client = clientFromSettings(server.reloaded());
    return client ? client->getWebUrl() : QString(QLatin1StringView(""));
}

}  // namespace

FetchPageRemoteUI::FetchPageRemoteUI(const RemoteContext& remote, bool isConnectionTest,
                                     QObject* context, Callback callback)
    : FetchPageWith<std::optional<QString>>(webUrlFromSettings(*remote.server), context,
                                            std::move(callback)),
      remote_(remote),
      isConnectionTest_(isConnectionTest) {}

void FetchPageRemoteUI::main() {
    // The settings are read again: the member may have changed them since the screen asked.
    const std::unique_ptr<BitClient> client = clientFromSettings(remote_.server->reloaded());
    // Handshake and page are one action for the member: one deadline for both.
    const NetContext net = remote_.net.withDeadline(startAction());
    bool reached = false;
    SignInState signIn = SignInState::NotChecked;
    std::optional<QString> page;
    if (client) {
        client->setSessionId(net);
        signIn = client->signInState();
        // The credentials travel in the Authorization header (for the clients that take
        // them so). The address on the wire is the same with or without them in the URL, and a
        // user name or password holding "/", "@" or "%" can't break the address apart.
        HttpRequest request(client->webUrlWithoutCredentials(), net);
        request.setExtraHeaders({{QStringLiteral("Keep-Alive"), QStringLiteral("115")}});
        if (client->usesHttpAuthentication()) {
            request.setUsername(client->username());
            request.setPassword(client->password());
        }
        request.setTimeout(kRemoteTimeoutSeconds);
        request.request();
        // A client that signs in on its own page serves that page to anyone: the credentials
        // are tested by the handshake's sign-in.
        reached = request.isResponseValid() &&
                  (signIn == SignInState::NotChecked || signIn == SignInState::Accepted);
        if (request.urlResponse()) {
            page = request.result();
        }
    }
    if (remote_.alerts) {
        if (signIn == SignInState::Banned) {
            remote_.alerts->showAlert(remote_alerts::clientBanned());
        } else if (!reached) {
            remote_.alerts->showAlert(remote_alerts::connectionFailed());
        } else if (isConnectionTest_) {
            remote_.alerts->showAlert(remote_alerts::connectionTestSucceeded());
        }
    }
    setReturnObject(page);
}

}  // namespace pelloran

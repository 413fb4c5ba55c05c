#include "remote/fetch_page_remote_ui.h"

#include "net/deadline.h"
#include "remote/alert_sink.h"
#include "remote/bit_client.h"
#include "remote/client_probe.h"
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
    // Handshake and page are one action for the member: one deadline for both.
    const ClientProbe probe =
        probeClient(remote_.server->reloaded(), remote_.net.withDeadline(startAction()));
    if (remote_.alerts) {
        if (probe.signIn == SignInState::Banned) {
            remote_.alerts->showAlert(remote_alerts::clientBanned());
        } else if (!probe.reached()) {
            remote_.alerts->showAlert(remote_alerts::connectionFailed());
        } else if (isConnectionTest_) {
            remote_.alerts->showAlert(remote_alerts::connectionTestSucceeded());
        }
    }
    setReturnObject(probe.page);
}

}  // namespace pelloran

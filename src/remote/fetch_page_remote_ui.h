#pragma once
// Fetches the web interface of the member's client, for the "Remote UI" tab and for the
// connection test of the remote settings. Delivers the page text whatever the status (absent
// when the client did not answer at all). A failed fetch raises the connection alert in both
// roles; a successful one raises "Success!" only in the test role. For clients whose handshake
// signs in (qBittorrent, Deluge) a refused sign-in is a failure too, and a banned one says so.
//
// Runs on the screen's own queue; the handshake and the fetch block that thread, together for
// at most kActionTimeLimit (deadline.h).

#include "net/fetch_page.h"
#include "remote/remote_context.h"

#include <QString>
#include <optional>

namespace pelloran {

class FetchPageRemoteUI : public FetchPageWith<std::optional<QString>> {
public:
    // Reads the remote settings now: url() is the chosen client's web-interface address (with
    // the credentials when a user name is set), the base address for the page's own links;
    // "" when no client is chosen. Create it on the UI thread.
    FetchPageRemoteUI(const RemoteContext& remote, bool isConnectionTest, QObject* context,
                      Callback callback);

    bool isConnectionTest() const { return isConnectionTest_; }

protected:
    void main() override;

private:
    const RemoteContext remote_;
    const bool isConnectionTest_;
};

}  // namespace pelloran

#pragma once
// Transmission's web interface: a session-id handshake on the RPC address, then a multipart
// upload that carries the session id as a second form field.

#include "remote/bit_client.h"

namespace pelloran {

class Transmission : public BitClient {
public:
    static constexpr BitClientType kType{
        1, QLatin1StringView("Transmission"), QLatin1StringView("9091"),
        QLatin1StringView(
            "Pelloran can push torrent downloads to your computer if you are using Transmittion "
            "Bittorent Client with remote access enabled.\n\t\n\tSetup:\n\t- Install "
            "Transmission on your computer.  \n\t- Select \"Preferences\" then select the "
            "\"Remote\" tab.\n\t- Check the \"Enable remote access\" box.\n\t- Make sure your "
            "computer is online and running Transmission.\n\t- Fill in the fields below with the "
            "ip address and port (Default is 9091) Transmission remote access is using."),
        PushOptionSupport{false, true, true, true, QLatin1StringView("category"),
                          QLatin1StringView("labels"),
                          QLatin1StringView("Labels need Transmission 4.")}};

    // The RPC version (Transmission 4.0) from which torrent-add takes labels; earlier daemons
    // drop them without a word.
    static constexpr int kLabelsSinceRpcVersion = 17;

    // The header that carries the session id, in the handshake's answer and in RPC requests.
    static constexpr QLatin1StringView kSessionIdHeader{"X-Transmission-Session-Id"};

    const BitClientType& type() const override { return kType; }
    QByteArray getData() override;  // needs the handshake first: the session id is in the body
    QString getUrl() const override;
    // GET of the RPC address; only the session-id header of the answer is read, whatever the
    // status. No header, or no answer: the session id becomes absent.
    void setSessionId(const NetContext& net) override;

    QString rpcUrl() const;  // "http://address:port/transmission/rpc"

protected:
    QString webPath() const override;
};

}  // namespace pelloran

#pragma once
// uTorrent's Web UI: a token handshake (the token page also sets a cookie the token is bound
// to, kept by the shared cookie store), then a multipart upload to an address holding the
// token.

#include "remote/bit_client.h"

#include <QLatin1StringView>

namespace pelloran {

class Utorrent : public BitClient {
public:
    static constexpr BitClientType kType{
        2, QLatin1StringView("Utorrent"), QLatin1StringView("8080"),
        QLatin1StringView(
            "Pelloran can push torrent downloads to your computer if you are using Utorrent "
            "Bittorent Client with Web UI enabled.\n\tAs of March 2010, Web UI is only available "
            "on windows version of Utorrent.\n\tSetup:\n\t- Install Utorrent on your computer.  "
            "\n\t- Select \"Preferences\" Utorrent.  Select \"Web UI\" option.\n\t- Check "
            "\"Enable Web UI\" box.\n\t- Check \"Alternative listening port\" box.\n\t- Make sure "
            "your computer is online and running Utorrent.\n\t- Fill in the fields below with the "
            "ip address and port (Default is 8080) of Utorrent Web UI is using.")};

    // The token page's one line; group 1 is the token.
    static constexpr QLatin1StringView kTokenPattern{
        "<html><div id='token' style='display:none;'>(.*)</div></html>"};

    const BitClientType& type() const override { return kType; }
    QByteArray getData() override;
    QString getUrl() const override;  // holds the token (escaped): needs the handshake first
    // GET of the token page. The token when the page matches; otherwise the whole page text
    // (which then makes an upload address the client refuses); absent when nothing came back.
    void setSessionId(const NetContext& net) override;

protected:
    QString webPath() const override;
};

}  // namespace pelloran

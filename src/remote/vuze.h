#pragma once
// Vuze with the Azureus Web UI plug-in: no handshake; the upload is a form with an empty first
// file part "upfile_1" and the torrent in "upfile_0".

#include "remote/bit_client.h"

namespace pelloran {

class Vuze : public BitClient {
public:
    static constexpr BitClientType kType{
        0, QLatin1StringView("Vuze"), QLatin1StringView("6886"),
        QLatin1StringView(
            "Pelloran can push torrent downloads to your computer if you are using Azureus (Vuze) "
            "Bittorent Client with Azureus Web UI plugin installed.\n\t\n\tSetup:\n\t- Install "
            "Azureus on your computer.  \n\t- Install Azureus Web UI plugin in Azureus.  \n\t- "
            "Make sure your computer is online and running Azureus.\n\t- Fill in the fields below "
            "with the ip address and port (Default is 6886) Azureus Web UI plugin is using.")};

    const BitClientType& type() const override { return kType; }
    QByteArray getData() override;
    QString getUrl() const override;
};

}  // namespace pelloran

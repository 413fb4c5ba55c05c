#include "remote/client_setup.h"

#include "remote/bit_client_registry.h"

namespace pelloran {

std::unique_ptr<BitClient> clientFromSettings(const ServerInfo::Values& settings) {
    std::unique_ptr<BitClient> client = makeBitClient(settings.client.value_or(QString()));
    if (client) {
        client->setAddress(settings.address.value_or(QString()));
        client->setPort(settings.port.value_or(QString()));
        client->setUsername(settings.username.value_or(QString()));
        client->setPassword(settings.password.value_or(QString()));
    }
    return client;
}

}  // namespace pelloran

#pragma once
// Builds the adapter the remote settings name, filled with their address, port and
// credentials. Absent values count as empty text.

#include "remote/bit_client.h"
#include "remote/server_info.h"

#include <memory>

namespace pelloran {

// nullptr when no client is chosen or the stored name is not an adapter's.
std::unique_ptr<BitClient> clientFromSettings(const ServerInfo::Values& settings);

}  // namespace pelloran

#pragma once
// Chooses an adapter by the name stored in the remote settings ("Vuze", "Transmission",
// "Utorrent", "qBittorrent", "Deluge") or by its position in the settings screen's chooser.
// Names are compared exactly; an empty or unknown name has no adapter. Pure and thread-safe.

#include "remote/bit_client.h"

#include <QList>
#include <QString>
#include <memory>

namespace pelloran {

// Every adapter type in chooser order, each at the position of its index: Vuze 0,
// Transmission 1, Utorrent 2, qBittorrent 3, Deluge 4. Stored names and indexes never change
// meaning; new clients come after.
const QList<const BitClientType*>& bitClientTypes();

// The type at that chooser position; nullptr for any other index.
const BitClientType* bitClientTypeByIndex(int index);

// The type of that name; nullptr for "", an unknown name, or the base's own (empty) name.
const BitClientType* bitClientType(const QString& name);

// A fresh adapter of that name; nullptr when there is none.
std::unique_ptr<BitClient> makeBitClient(const QString& name);

// The name of the adapter at that chooser position; "" for any other index.
QString clientNameByIndex(int index);

// The push options the client of that name has, in its own words; none for no client.
PushOptionSupport pushOptionSupport(const QString& name);

// The client's name as the member knows it ("uTorrent" for the stored "Utorrent").
QString clientDisplayName(const BitClientType& type);

}  // namespace pelloran

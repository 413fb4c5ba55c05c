#pragma once
// Every persistent setting the system keeps. The store registers no defaults: each reader
// applies its own default when a key is absent.

#include <QLatin1StringView>

namespace pelloran::keys {

inline constexpr QLatin1StringView version{"Pelloran_version"};
inline constexpr QLatin1StringView username{"Pelloran_username"};
inline constexpr QLatin1StringView password{"Pelloran_password"};
inline constexpr QLatin1StringView automaticLogin{"Pelloran_automaticLogin"};
inline constexpr QLatin1StringView tab{"Pelloran_tab"};
inline constexpr QLatin1StringView categories{"Pelloran_categories"};
inline constexpr QLatin1StringView orderBy{"Pelloran_orderBy"};
inline constexpr QLatin1StringView sortBy{"Pelloran_sortBy"};
inline constexpr QLatin1StringView searchCategories{"Pelloran_searchCategories"};
inline constexpr QLatin1StringView searchOrderBy{"Pelloran_searchOrderBy"};
inline constexpr QLatin1StringView searchSortBy{"Pelloran_searchSortBy"};
inline constexpr QLatin1StringView favoritesCount{"Pelloran_favoritesCount"};
inline constexpr QLatin1StringView filters{"Pelloran_filters"};
inline constexpr QLatin1StringView torrentHistory{"Pelloran_torrentHistory"};
inline constexpr QLatin1StringView serverClient{"Pelloran_serverClient"};
inline constexpr QLatin1StringView serverAddress{"Pelloran_serverAddress"};
inline constexpr QLatin1StringView serverPort{"Pelloran_serverPort"};
inline constexpr QLatin1StringView serverUser{"Pelloran_serverUser"};
inline constexpr QLatin1StringView serverPassword{"Pelloran_serverPassword"};
// Push defaults are kept per client under keys the remote settings build from the client's
// name: "Pelloran_qBittorrentCategory", "Pelloran_transmissionSavePath", ...
// Seconds between the starts of two requests the automatic push makes to the site.
inline constexpr QLatin1StringView pushMinInterval{"Pelloran_pushMinInterval"};
// The ratio guard's threshold (ratio_guard.h) as a decimal number; absent or "": off.
inline constexpr QLatin1StringView warnBelowRatio{"Pelloran_warnBelowRatio"};
// The automatic push's caps, each a whole number as text ("" or absent: no cap): the largest
// torrent in bytes, the fewest seeders, and per rolling 24 hours at most so many torrents and
// so many bytes.
inline constexpr QLatin1StringView pushMaxSize{"Pelloran_pushMaxSize"};
inline constexpr QLatin1StringView pushMinSeeders{"Pelloran_pushMinSeeders"};
inline constexpr QLatin1StringView pushMaxPerDay{"Pelloran_pushMaxPerDay"};
inline constexpr QLatin1StringView pushMaxBytesPerDay{"Pelloran_pushMaxBytesPerDay"};
// Push options of favorite filters: one JSON object per keyword that has any
// ({"keyword": K, "category": C, "tags": [T], "savePath": P, "paused": B}).
inline constexpr QLatin1StringView filterRoutes{"Pelloran_filterRoutes"};

}  // namespace pelloran::keys

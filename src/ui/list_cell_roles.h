#pragma once
// What a torrent list's model tells its cell delegates about a row: its kind, its record, and
// the footer row's text and state.

#include "site/torrent.h"

#include <QMetaType>

namespace pelloran {

enum class ListRowKind { Torrent, LoadMore, Status };

namespace list_roles {
inline constexpr int Kind = Qt::UserRole + 1;     // int(ListRowKind)
inline constexpr int Record = Qt::UserRole + 2;   // TorrentPtr (torrent rows)
inline constexpr int Enabled = Qt::UserRole + 3;  // bool: the load-more row takes touches
}  // namespace list_roles

}  // namespace pelloran

Q_DECLARE_METATYPE(pelloran::TorrentPtr)

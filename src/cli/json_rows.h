#pragma once
// The torrent list as JSON, written row by row as each is formatted: the same text (keys in
// order, four-space indent) as the indented form of a QJsonDocument of the whole list, without
// holding the whole document or its text in memory.

#include "site/torrent.h"

#include <QByteArray>
#include <functional>

namespace pelloran::cli {

// Hands `write` the text in pieces, ending with "]\n" (the list's own line end included).
void writeTorrentsJson(const TorrentList& torrents,
                       const std::function<void(const QByteArray&)>& write);

// A JSON string literal: quotes, backslash and control characters escaped, the rest as UTF-8;
// a lone surrogate (no letter of its own) as its \u escape.
void appendJsonString(QByteArray& out, QStringView text);

}  // namespace pelloran::cli

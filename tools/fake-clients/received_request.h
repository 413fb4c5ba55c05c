#pragma once
// What a fake BitTorrent-client web interface received: each request as it came over the wire,
// and each torrent file it accepted.

#include "multipart_body.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace pelloran::fake {

struct ReceivedRequest {
    QByteArray method;
    QByteArray target;       // path and query exactly as written in the request line
    QByteArray path;         // the target's path, percent-decoded
    HeaderList query;        // the target's query parameters, percent-decoded, grouped by name
    HeaderList headers;      // header lines, name case kept, grouped by name (not in wire order)
    QByteArray body;         // the raw body bytes
    bool multipart = false;  // Content-Type announced multipart/form-data
    std::vector<ReceivedPart> parts;  // filled when multipart and well formed
    bool malformed = false;           // multipart announced but boundary or body not well formed
    QString malformedReason;          // the first fault found, for test failure messages
    int status = 0;  // status answered; 0 while held, or when the connection was dropped

    QByteArray header(const QByteArray& name) const;  // first value, any case; null when absent
    bool hasHeader(const QByteArray& name) const;
    std::optional<QByteArray> queryValue(const QByteArray& name) const;
    const ReceivedPart* part(const QByteArray& name) const;  // first part of that name, or null
};

struct AddedTorrent {
    QByteArray filename;  // the upload part's filename parameter exactly as sent (may be empty)
    QByteArray bytes;
    bool bencoded = false;  // bytes begin with 'd', as a torrent file's top dictionary does
};

}  // namespace pelloran::fake

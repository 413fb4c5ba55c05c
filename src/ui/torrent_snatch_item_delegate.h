#pragma once
// A snatch list row: the name, the activity, ratio and size, and the up and down figures
// against their arrows. Snatch rows have no download button. Positions in points.
//
// The site writes snatch names in JSON, and the reader keeps its escapes (a backslash, "u" and
// four hex digits; an escaped slash): they are shown decoded here, so a Japanese name reads as
// Japanese, not as escapes.

#include "ui/flat_cell_delegate.h"

namespace pelloran {

class TorrentSnatchItemDelegate : public FlatCellDelegate {
    Q_OBJECT
public:
    using FlatCellDelegate::FlatCellDelegate;

    // The name as the member reads it: the JSON escapes of a character code, a slash, a quote
    // and a backslash decoded; anything else kept as it is.
    static QString shownName(const QString& name);

protected:
    void drawContentView(QPainter* p, const QRect& content, const TorrentPtr& torrent,
                         bool highlighted) const override;
};

}  // namespace pelloran

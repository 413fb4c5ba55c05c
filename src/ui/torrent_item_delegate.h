#pragma once
// A torrent listing row (browse, search, favorites): category picture, name, date, size,
// seeders and leechers against their arrows, the already-sent mark, and the download button
// at the row's right end. Positions in points from the row's top left.

#include "ui/flat_cell_delegate.h"

namespace pelloran {

class TorrentItemDelegate : public FlatCellDelegate {
    Q_OBJECT
public:
    static constexpr qreal kAccessorySize = 25;
    static constexpr qreal kAccessoryRightMargin = 10;

    using FlatCellDelegate::FlatCellDelegate;

    QRect accessoryRect(const QRect& rowRect) const override;

protected:
    void drawContentView(QPainter* p, const QRect& content, const TorrentPtr& torrent,
                         bool highlighted) const override;
};

}  // namespace pelloran

#pragma once
// A thin scroll indicator drawn over a list's right edge instead of a scroll bar beside it, so
// the rows keep the whole width their positions are laid out for. It can still be dragged; the
// wheel and the keys scroll the list as before. Hidden while everything fits.

class QAbstractScrollArea;

namespace pelloran {

void attachOverlayScrollBar(QAbstractScrollArea* area);

}  // namespace pelloran

#pragma once
// The load-more row (the last row of a list that has more pages): its fixed caption and, under
// it, the date of the last torrent listed; drawn dimmed while it takes no touches. And the
// quiet status line a list shows in its place when a page did not come.

#include <QRect>
#include <QString>

class QPainter;

namespace pelloran {

class UiScale;

inline constexpr char kLoadMoreCaption[] = "Load more torrents";

// `content` is the row less its separator point, in view pixels.
void drawLoadMoreItem(QPainter* p, const QRect& content, const UiScale& s, const QString& dateText,
                      bool enabled, bool highlighted);
void drawStatusLine(QPainter* p, const QRect& content, const UiScale& s, const QString& text);

}  // namespace pelloran

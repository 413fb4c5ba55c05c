#pragma once
// The settings screens' shared layout: controls placed at positions given in points (kept in
// a "pointRect" property and applied at the window's scale), white labels on the list grey,
// section headers, and the scrolling area that holds them.

#include <QRectF>
#include <QString>

class QLabel;
class QScrollArea;
class QWidget;

namespace pelloran {

class UiScale;

namespace settings_layout {

inline constexpr qreal kLabelFontPoints = 15;

// `content` becomes the area's widget; the area scrolls vertically only, with a thin indicator
// over its right edge.
void styleScrollArea(QScrollArea* area, QWidget* content);
// A white label at (x, y) points, `w` by `h` points.
QLabel* addLabel(QWidget* parent, const QString& text, qreal x, qreal y, qreal w = 200,
                 qreal h = 29);
// A centred section header.
void styleSectionHeader(QLabel* label);
// Places every child of `content` that has a "pointRect", sizes the labels' fonts, and makes
// `content` `width` pixels wide and as tall as its "contentHeightPoints". The points are those
// of a phone-wide column; a wider window centres that column (a form stretched across a
// maximized window reads badly). Returns the column's left edge in pixels, for the controls a
// screen places itself.
int placeByPoints(QWidget* content, const UiScale& scale, int width);
// The left edge of the centred phone-wide column in `width` pixels; 0 when it is that narrow.
int columnLeft(const UiScale& scale, int width);

}  // namespace settings_layout
}  // namespace pelloran

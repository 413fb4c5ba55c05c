#pragma once
// The app's few colours, named after where they are used.

#include <QColor>

namespace pelloran::colors {

inline QColor grey(qreal level) {
    return QColor::fromRgbF(float(level), float(level), float(level));
}

inline QColor listBackground() {
    return grey(0.2);
}  // behind every list
inline QColor rowBackground() {
    return grey(0.1333);
}  // a row's content area
inline QColor rowText() {
    return grey(0.8);
}  // text on a row
inline QColor rowHighlight() {
    return grey(0.42);
}  // a selected row
inline QColor barBackground() {
    return QColor(0, 0, 0);
}  // black navigation and tab bars
inline QColor barTint() {
    return QColor(255, 255, 255);
}  // selected tab, bar buttons
inline QColor barItemIdle() {
    return grey(0.55);
}  // tabs not selected
inline QColor warning() {
    return QColor(235, 87, 72);
}  // a figure the member asked to be warned about
inline QColor overlayBox() {
    return grey(0.5);
}  // the busy overlay's box

}  // namespace pelloran::colors

#pragma once
// What the screens that cover the whole window for one task share (the filter compose screen,
// the "Send to…" sheet): a bar with a title between two plain text buttons, and covering the
// host widget while following its size. UI thread only.

#include <QString>

class QEvent;
class QObject;
class QToolButton;
class QWidget;

namespace pelloran {

class NavigationBar;

namespace sheet_chrome {

// A text button for the bar.
QToolButton* barButton(const QString& text, QWidget* parent);
// Places `bar` across the top of `sheet` with `left` and `right`, styled at the sheet's scale.
void layoutBar(QWidget* sheet, NavigationBar* bar, QToolButton* left, QToolButton* right);
// Covers the sheet's parent and follows its size from now on (see followHost()).
void coverHost(QWidget* sheet);
// From the sheet's event filter: keeps it the size of its parent.
void followHost(QWidget* sheet, QObject* watched, QEvent* event);

}  // namespace sheet_chrome
}  // namespace pelloran

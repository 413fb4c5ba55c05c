#pragma once
// A visible ring around a control while the keyboard focus is on it, for the controls whose
// look draws none: image buttons with a borderless style, the header's buttons, the info
// button. A click never shows it (those controls take the focus by Tab or from the program).

class QWidget;

namespace pelloran {

// Draws a rounded ring `radiusPoints` round inside `control`'s edges while it has the focus.
// The ring is a child of `control` and goes with it.
void addFocusRing(QWidget* control, double radiusPoints = 6);

}  // namespace pelloran

#pragma once
// The favorites page count as the favorites settings screen shows and stores it. Pure.

#include <QString>

namespace pelloran {

// The favorites page count as the settings label shows it: the slider value rounded to a
// whole number, with no decimal point ("%.0f").
QString favoritesCountText(double sliderValue);
// The slider position of a stored count text: its leading number, 0 when it has none.
double favoritesSliderValue(const QString& countText);

}  // namespace pelloran

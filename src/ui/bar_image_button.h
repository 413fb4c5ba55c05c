#pragma once
// A navigation bar button drawn from one of our images ("back.png", "add.png", 50 by 47
// points), fitted to the bar's button height.

#include <QString>

class QToolButton;
class QWidget;

namespace pelloran {

QToolButton* makeBarImageButton(const QString& imageName, const QString& toolTip,
                                QWidget* parent = nullptr);

}  // namespace pelloran

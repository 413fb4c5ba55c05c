#pragma once
// Which picture is behind the login face: by device kind, by screen height, and by whether the
// CAPTCHA area is present.

#include <QString>

namespace pelloran {

QString loginBackgroundName(bool tablet, int screenHeightPoints, bool captchaOn);

}  // namespace pelloran

#include "app/login_background.h"

#include "ui/ui_scale.h"

namespace pelloran {

QString loginBackgroundName(bool tablet, int screenHeightPoints, bool captchaOn) {
    if (tablet) {
        return QStringLiteral("loginBackShortIpad.png");
    }
    if (screenHeightPoints >= UiScale::kTallPhoneHeight) {
        return captchaOn ? QStringLiteral("loginBack5.png") : QStringLiteral("loginBackShort5.png");
    }
    return captchaOn ? QStringLiteral("loginBack.png") : QStringLiteral("loginBackShort.png");
}

}  // namespace pelloran

#include "settings/favorites_count_text.h"

#include <cmath>

namespace pelloran {

QString favoritesCountText(double sliderValue) {
    return QString::asprintf("%.0f", sliderValue);
}

double favoritesSliderValue(const QString& countText) {
    // The leading number, as a floating-point reading of the text would take it.
    const QString t = countText.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t[end] == QLatin1Char('+') || t[end] == QLatin1Char('-'))) {
        ++end;
    }
    bool seenDigit = false;
    bool seenPoint = false;
    while (end < t.size()) {
        const QChar c = t[end];
        if (c.unicode() >= '0' && c.unicode() <= '9') {
            seenDigit = true;
        } else if (c == QLatin1Char('.') && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
        ++end;
    }
    if (!seenDigit) {
        return 0;
    }
    bool ok = false;
    const double v = t.left(end).toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0;
}

}  // namespace pelloran

#include "store/ratio_guard.h"

#include "store/activity_log.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"

#include <QLocale>
#include <cmath>

namespace pelloran {

namespace {

const QString kToldStateName = QStringLiteral("ratioGuardToldOn");

}  // namespace

std::optional<QString> warnBelowRatioSetting(const QString& text) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !(value >= kMinWarnBelowRatio && value <= kMaxWarnBelowRatio)) {
        return std::nullopt;
    }
    return QLocale::c().toString(value, 'g', 6);
}

std::optional<double> warnBelowRatio(const SettingsStore& settings) {
    const std::optional<QString> stored = settings.string(keys::warnBelowRatio);
    if (!stored || stored->isEmpty() || !warnBelowRatioSetting(*stored)) {
        return std::nullopt;
    }
    return QLocale::c().toDouble(stored->trimmed());
}

std::optional<RatioGuardHold> ratioGuardHold(const std::optional<double>& warnBelow,
                                             const std::optional<MemberSample>& latest) {
    if (!warnBelow || !latest || !latest->ratio || !(*latest->ratio < *warnBelow)) {
        return std::nullopt;
    }
    return RatioGuardHold{*latest->ratio, *warnBelow};
}

QString ratioText(double ratio) {
    if (std::isinf(ratio)) {
        return QStringLiteral("Inf");
    }
    return QLocale::c().toString(ratio, 'f', 2);
}

QString ratioGuardSentence(const RatioGuardHold& hold) {
    return QStringLiteral("Your ratio %1 is below %2, the \u201CWarn below ratio\u201D you chose.")
        .arg(ratioText(hold.ratio), ratioText(hold.warnBelow));
}

bool ratioGuardToldOn(const ActivityLog& log, const QDate& day) {
    return log.state(kToldStateName) == day.toString(Qt::ISODate);
}

void recordRatioGuardTold(ActivityLog& log, const QDate& day) {
    log.setState(kToldStateName, day.toString(Qt::ISODate));
}

}  // namespace pelloran

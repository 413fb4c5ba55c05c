#pragma once
// The ratio guard: the member's "Warn below ratio". While the latest sampled ratio is below it,
// the header shows the ratio in the warning colour, the Stats screen says so, and the
// automatic push holds back every new torrent, telling the desktop once a day. A ratio the bar
// does not show, or shows as "Inf", never holds anything back. Pure, except the settings read.

#include "store/activity_records.h"

#include <QDate>
#include <QString>
#include <optional>

namespace pelloran {

class ActivityLog;
class SettingsStore;

// The range the setting takes: a ratio of 0 would warn of nothing.
inline constexpr double kMinWarnBelowRatio = 0.01;
inline constexpr double kMaxWarnBelowRatio = 100.0;

// The stored threshold; absent when the guard is off or the value is not a number in range.
std::optional<double> warnBelowRatio(const SettingsStore& settings);
// "0.8" for the setting, or absent when `text` is not a number in range.
std::optional<QString> warnBelowRatioSetting(const QString& text);

struct RatioGuardHold {
    double ratio = 0;      // the latest sampled ratio
    double warnBelow = 0;  // the threshold it is below
    friend bool operator==(const RatioGuardHold&, const RatioGuardHold&) = default;
};

// Whether the guard holds for this threshold and sample.
std::optional<RatioGuardHold> ratioGuardHold(const std::optional<double>& warnBelow,
                                             const std::optional<MemberSample>& latest);

// "0.71 is below 0.8"-style figures: a ratio as the member reads it, "Inf" for infinity.
QString ratioText(double ratio);
// "Your ratio 0.71 is below 0.80, the "Warn below ratio" you chose."
QString ratioGuardSentence(const RatioGuardHold& hold);

// The once-a-day notice: whether today's has not been given yet, and recording that it was.
// Kept in the activity database, so every program sees the same day.
bool ratioGuardToldOn(const ActivityLog& log, const QDate& day);
void recordRatioGuardTold(ActivityLog& log, const QDate& day);

}  // namespace pelloran

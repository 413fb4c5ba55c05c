#pragma once
// The caps of the automatic push, so that what it grabs unattended never puts the member's
// account at risk: the largest size of one torrent, the fewest seeders it must have, and at
// most N torrents and G bytes newly sent per rolling 24 hours (counted from the automatic push's
// records in the push log, activity_log.h). Each cap is optional and stored as a setting.
//
// A torrent a cap holds back is not recorded as sent: a later run sends it when it then passes
// (a cap changed, a day went by). What can't be told is held back: a size or seeder count the
// listing doesn't show, or a record that can't be read, while a cap needs it. Pure, but for
// the settings reads and writes.

#include <QDateTime>
#include <QString>
#include <chrono>
#include <optional>

namespace pelloran {

class SettingsStore;
struct SentWindow;

enum class PushCap { MaxSize, MinSeeders, MaxPerDay, MaxBytesPerDay };

// The span the per-day caps count over.
inline constexpr std::chrono::hours kCapWindow{24};

struct AutomaticPushCaps {
    std::optional<qint64> maxSize;  // bytes
    std::optional<int> minSeeders;
    std::optional<int> maxPerDay;          // torrents
    std::optional<qint64> maxBytesPerDay;  // bytes

    bool any() const { return maxSize || minSeeders || maxPerDay || maxBytesPerDay; }
    bool countsTheDay() const { return maxPerDay || maxBytesPerDay; }

    friend bool operator==(const AutomaticPushCaps&, const AutomaticPushCaps&) = default;
};

// The stored caps; a stored value that is empty or no such number is no cap.
AutomaticPushCaps storedCaps(const SettingsStore& settings);
// Writes the caps `caps` sets over the stored ones and flushes; `cleared` caps are stored empty.
void storeCaps(SettingsStore& settings, const AutomaticPushCaps& caps,
               const QList<PushCap>& cleared = {});

// The first cap, in PushCap order, that holds back a torrent of that size and seeder count
// (as the listing shows them), given what was newly sent in the last kCapWindow (absent when
// the record can't be read). Absent when every cap lets it go.
std::optional<PushCap> capHoldingBack(const AutomaticPushCaps& caps,
                                      const std::optional<qint64>& size,
                                      const std::optional<int>& seeders,
                                      const std::optional<SentWindow>& lastDay);

// "20GB", "1.5 TB", "700 MB", "1.37 GB" (as listings show sizes), in bytes, units of 1024;
// absent for anything else (no unit, a negative number).
std::optional<qint64> parseSize(const QString& text);
// "1,234" or "12" -> the number; absent for anything else.
std::optional<int> parseCount(const QString& text);
// Bytes as the member reads them: "20 GB", "1.5 GB", "700 MB".
QString sizeText(qint64 bytes);

// A cap's key in JSON and settings words ("maxSize") and its words for the member
// ("largest size").
QString capKey(PushCap cap);
QString capWords(PushCap cap);
// The cap and its limit: "largest size 20 GB", "at most 10 torrents a day".
QString capLimitText(const AutomaticPushCaps& caps, PushCap cap);

}  // namespace pelloran

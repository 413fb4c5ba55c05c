#pragma once
// Fills an activity database with made-up history: member-bar samples every `stepSeconds` up to
// `end`, whose totals grow as a member's do (downloads in bursts, uploads steadily) with the
// ratio that follows from them, and pushes spread over the span with every outcome and origin.
// Deterministic for a given seed. For the Stats screen's pictures and the benchmarks.

#include <QDateTime>
#include <optional>

namespace pelloran {
class ActivityDatabase;
}

namespace pelloran::test {

struct ActivitySeed {
    QDateTime end;              // the newest sample's time
    int samples = 30 * 24 * 2;  // a month, every 30 minutes
    qint64 stepSeconds = 1800;
    int pushes = 90;
    quint32 seed = 7;
    double downloadedPerDay = 1.4e9;  // bytes, on average
    double uploadedPerDay = 1.5e9;
    // The newest sample's totals (the demo member's bar, so the app's own reading continues
    // the line); absent: the history starts at 50 GB each way.
    std::optional<qint64> endUploaded;
    std::optional<qint64> endDownloaded;
};

// False when the database could not be written.
bool seedActivity(ActivityDatabase& database, const ActivitySeed& seed);

}  // namespace pelloran::test

#pragma once
// The member's figures at a glance, as the stats command and the Stats screen show them: the
// latest sample, its change over a few days, the samples and pushes of a range, pushes per day.
// Read in one go from the activity log; plain values, made on any thread but the UI thread.

#include "store/activity_log.h"
#include "store/activity_records.h"

#include <QDateTime>
#include <QList>
#include <optional>

namespace pelloran {

// How the figures moved between two samples.
struct SampleChange {
    int days = 0;                 // the span asked for
    MemberSample from;            // the newest sample at or before `days` before the latest
    std::optional<double> ratio;  // absent when either end shows no ratio or an infinite one
    qint64 uploaded = 0;
    qint64 downloaded = 0;
};

struct ActivityStats {
    std::optional<MemberSample> latest;
    // Over each span asked for; absent for a span older than the first sample.
    QList<std::optional<SampleChange>> changes;
    QList<MemberSample> samples;  // in the range, oldest first
    PushCounts pushCounts;        // in the range
    QList<DayPushes> pushesPerDay;
    QList<PushRecord> lastPushes;  // newest first
};

struct StatsQuery {
    std::optional<int> days;  // the range: the last N days; absent: everything
    QList<int> changeSpans = {1, 7, 30};
    bool withSamples = true;
    bool withPushesPerDay = false;
    int lastPushes = 0;
    QDateTime now;  // null: the current time
};

ActivityStats readActivityStats(const ActivityLog& log, const StatsQuery& query);

// "120.50 GB": a total as the member bar prints it (units of 1024).
QString byteSizeText(qint64 bytes);
// "+1.20 GB", "-512 bytes": a change of a total.
QString byteChangeText(qint64 bytes);
// "+0.05", "-0.12"; "n/a" when absent.
QString ratioChangeText(const std::optional<double>& change);

// The change from `from` to `to` over `days`.
SampleChange sampleChange(const MemberSample& from, const MemberSample& to, int days);

}  // namespace pelloran

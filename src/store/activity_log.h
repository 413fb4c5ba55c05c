#pragma once
// The member's account over time, kept in the activity database: member-bar samples, every push
// with its outcome, and the small things a run remembers for the next (run_state). The one
// place that holds their SQL; screens and commands read through the queries below.
//
// Thread-safe like the database. Writes may wait for another program's write (the busy
// timeout): never call them on the UI thread (activity_recorder.h does it off it).

#include "store/activity_records.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace pelloran {

class ActivityDatabase;

struct PushCounts {
    qint64 sent = 0;
    qint64 alreadyOnServer = 0;
    qint64 failed = 0;
    friend bool operator==(const PushCounts&, const PushCounts&) = default;
};

struct DayPushes {
    QDate day;  // local
    PushCounts counts;
    friend bool operator==(const DayPushes&, const DayPushes&) = default;
};

// What pushes of one origin newly sent in a span of time (a client that had the torrent already
// got nothing new): the base of the automatic push's caps per rolling day.
struct SentWindow {
    int count = 0;
    qint64 bytes = 0;  // torrents of unknown size count 0
    friend bool operator==(const SentWindow&, const SentWindow&) = default;
};

class ActivityLog {
public:
    explicit ActivityLog(ActivityDatabase& database) : db_(database) {}

    // One transaction for the lot. A sample with the figures of the newest one kept, taken less
    // than kSampleQuietSeconds after it, is left out. False (and a notice) when nothing could be
    // written.
    bool write(const QList<MemberSample>& samples, const QList<PushRecord>& pushes);

    // Absent when there is none or the database can't be read.
    std::optional<MemberSample> latestSample() const;
    // The newest sample taken at or before `time`, else absent.
    std::optional<MemberSample> sampleAtOrBefore(const QDateTime& time) const;
    std::optional<MemberSample> oldestSample() const;
    // Samples taken at or after `since` (all of them when it is null), oldest first.
    QList<MemberSample> samples(const QDateTime& since = {}) const;
    qint64 sampleCount() const;

    // The newest pushes first; `limit` < 0 for all.
    QList<PushRecord> pushes(int limit) const;
    PushCounts pushCounts(const QDateTime& since = {}) const;
    // Pushes from `origin` that sent a torrent at or after `since`; absent when the database
    // can't be read.
    std::optional<SentWindow> sentSince(PushOrigin origin, const QDateTime& since) const;
    // Per local day with any push, oldest first.
    QList<DayPushes> pushesPerDay(const QDateTime& since = {}) const;

    std::optional<QString> state(const QString& name) const;
    bool setState(const QString& name, const QString& value);

private:
    ActivityDatabase& db_;
};

}  // namespace pelloran

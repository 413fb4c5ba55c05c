#include "store/activity_stats.h"

#include <QLocale>
#include <cmath>

namespace pelloran {

QString byteSizeText(qint64 bytes) {
    return QLocale::c().formattedDataSize(bytes, 2, QLocale::DataSizeTraditionalFormat);
}

QString byteChangeText(qint64 bytes) {
    return (bytes < 0 ? QStringLiteral("-") : QStringLiteral("+")) +
           byteSizeText(bytes < 0 ? -bytes : bytes);
}

QString ratioChangeText(const std::optional<double>& change) {
    if (!change) {
        return QStringLiteral("n/a");
    }
    return (*change < 0 ? QString() : QStringLiteral("+")) + QLocale::c().toString(*change, 'f', 2);
}

SampleChange sampleChange(const MemberSample& from, const MemberSample& to, int days) {
    SampleChange change;
    change.days = days;
    change.from = from;
    if (from.ratio && to.ratio && std::isfinite(*from.ratio) && std::isfinite(*to.ratio)) {
        change.ratio = *to.ratio - *from.ratio;
    }
    change.uploaded = to.uploaded - from.uploaded;
    change.downloaded = to.downloaded - from.downloaded;
    return change;
}

ActivityStats readActivityStats(const ActivityLog& log, const StatsQuery& query) {
    ActivityStats stats;
    const QDateTime now = query.now.isNull() ? QDateTime::currentDateTimeUtc() : query.now;
    const QDateTime since = query.days ? now.addDays(-*query.days) : QDateTime();
    stats.latest = log.latestSample();
    for (const int days : query.changeSpans) {
        std::optional<SampleChange> change;
        if (stats.latest) {
            if (const std::optional<MemberSample> from =
                    log.sampleAtOrBefore(stats.latest->time.addDays(-days))) {
                change = sampleChange(*from, *stats.latest, days);
            }
        }
        stats.changes.append(change);
    }
    if (query.withSamples) {
        stats.samples = log.samples(since);
    }
    stats.pushCounts = log.pushCounts(since);
    if (query.withPushesPerDay) {
        stats.pushesPerDay = log.pushesPerDay(since);
    }
    if (query.lastPushes > 0) {
        stats.lastPushes = log.pushes(query.lastPushes);
    }
    return stats;
}

}  // namespace pelloran

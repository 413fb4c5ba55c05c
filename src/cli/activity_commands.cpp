// pelloran-cli activity | stats: the pushes made and the member's figures over time, read from
// the activity database.

#include "cli/cli_core.h"
#include "cli/cli_output.h"
#include "cli/commands.h"

#include "store/activity_database.h"
#include "store/activity_log.h"
#include "store/activity_stats.h"
#include "store/ratio_guard.h"
#include "store/settings_store.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <cmath>

namespace pelloran::cli {

namespace {

constexpr int kDefaultActivityLimit = 50;

QString isoTime(const QDateTime& time) {
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QString localTime(const QDateTime& time) {
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

// A ratio as JSON: a number, or null when the bar showed none or "Inf" (JSON has no infinity;
// the totals say which it was).
QJsonValue ratioJson(const std::optional<double>& ratio) {
    return ratio && std::isfinite(*ratio) ? QJsonValue(*ratio) : QJsonValue(QJsonValue::Null);
}

QJsonObject pushJson(const PushRecord& p) {
    QJsonObject o{
        {QStringLiteral("time"), isoTime(p.time)},
        {QStringLiteral("name"), p.name},
        {QStringLiteral("detailsPath"), p.detailsPath},
        {QStringLiteral("infoHash"), QString::fromLatin1(p.infoHash)},
        {QStringLiteral("size"), p.size ? QJsonValue(*p.size) : QJsonValue()},
        {QStringLiteral("client"), p.client},
        {QStringLiteral("options"), QJsonDocument::fromJson(p.options.toUtf8()).object()},
        {QStringLiteral("outcome"), pushResultKey(p.result)},
        {QStringLiteral("origin"), pushOriginKey(p.origin)},
    };
    if (p.result == PushResult::Failed) {
        o.insert(QStringLiteral("failure"), p.failure);
    }
    return o;
}

QString changeLine(const std::optional<SampleChange>& change, int days) {
    const QString span = days == 1 ? QStringLiteral("1 day") : QStringLiteral("%1 days").arg(days);
    if (!change) {
        return QStringLiteral("Change over %1: no sample that old yet").arg(span);
    }
    return QStringLiteral("Change over %1: ratio %2, uploaded %3, downloaded %4")
        .arg(span, ratioChangeText(change->ratio), byteChangeText(change->uploaded),
             byteChangeText(change->downloaded));
}

void printActivityNotices(CliCore& core) {
    for (const StoreNotice& notice : core.activity().takeNotices()) {
        printError(notice.text);
    }
}

}  // namespace

int runActivity(CliCore& core, const CommandArgs& args) {
    const int limit = args.number(QStringLiteral("limit"), kDefaultActivityLimit);
    const QList<PushRecord> pushes = ActivityLog(core.activity()).pushes(limit);
    printActivityNotices(core);
    if (args.isSet(QStringLiteral("json"))) {
        QJsonArray array;
        for (const PushRecord& p : pushes) {
            array.append(pushJson(p));
        }
        printOut(jsonText(array));
        return kExitSuccess;
    }
    if (pushes.isEmpty()) {
        printOut(QStringLiteral("No pushes recorded yet."));
        return kExitSuccess;
    }
    QString out;
    for (const PushRecord& p : pushes) {
        out += localTime(p.time) + QStringLiteral("  ") + fitColumn(pushOriginText(p.origin), 12) +
               QStringLiteral("  ") + fitColumn(p.name, 44) + QStringLiteral("  ") +
               pushOutcomeText(p) + QLatin1Char('\n');
    }
    out.chop(1);
    printOut(out);
    return kExitSuccess;
}

int runStats(CliCore& core, const CommandArgs& args) {
    const bool json = args.isSet(QStringLiteral("json"));
    const bool csv = args.isSet(QStringLiteral("csv"));
    if (json && csv) {
        return args.usageError(QStringLiteral("stats: choose --json or --csv"));
    }
    StatsQuery query;
    if (args.isSet(QStringLiteral("days"))) {
        query.days = args.number(QStringLiteral("days"), 0);
    }
    query.withSamples = json || csv;
    const ActivityStats stats = readActivityStats(ActivityLog(core.activity()), query);
    printActivityNotices(core);
    if (json) {
        QJsonArray samples;
        for (const MemberSample& s : stats.samples) {
            samples.append(QJsonObject{{QStringLiteral("time"), isoTime(s.time)},
                                       {QStringLiteral("ratio"), ratioJson(s.ratio)},
                                       {QStringLiteral("uploaded"), QJsonValue(s.uploaded)},
                                       {QStringLiteral("downloaded"), QJsonValue(s.downloaded)}});
        }
        const QJsonObject pushes{
            {QStringLiteral("sent"), QJsonValue(stats.pushCounts.sent)},
            {QStringLiteral("duplicate"), QJsonValue(stats.pushCounts.alreadyOnServer)},
            {QStringLiteral("failed"), QJsonValue(stats.pushCounts.failed)}};
        printOut(QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("samples"), samples},
                                                             {QStringLiteral("pushes"), pushes}})
                                       .toJson(QJsonDocument::Compact)));
        return kExitSuccess;
    }
    if (csv) {
        // The ratio cell is empty when the bar showed none, "Inf" when it showed that.
        QString out = QStringLiteral("time,ratio,uploaded,downloaded\n");
        for (const MemberSample& s : stats.samples) {
            out += isoTime(s.time) + QLatin1Char(',') +
                   (s.ratio ? (std::isinf(*s.ratio) ? QStringLiteral("Inf")
                                                    : QString::number(*s.ratio, 'g', 10))
                            : QString()) +
                   QLatin1Char(',') + QString::number(s.uploaded) + QLatin1Char(',') +
                   QString::number(s.downloaded) + QLatin1Char('\n');
        }
        out.chop(1);
        printOut(out);
        return kExitSuccess;
    }
    if (!stats.latest) {
        printOut(
            QStringLiteral("No member-bar figures recorded yet: they are taken from each "
                           "page of the site the app or this command reads."));
    } else {
        const MemberSample& s = *stats.latest;
        printOut(QStringLiteral("Latest (%1): ratio %2, uploaded %3, downloaded %4")
                     .arg(localTime(s.time),
                          s.ratio ? ratioText(*s.ratio) : QStringLiteral("not shown"),
                          byteSizeText(s.uploaded), byteSizeText(s.downloaded)));
        for (qsizetype i = 0; i < stats.changes.size(); ++i) {
            printOut(changeLine(stats.changes[i], query.changeSpans[int(i)]));
        }
        if (const std::optional<RatioGuardHold> hold =
                ratioGuardHold(warnBelowRatio(core.settings()), stats.latest)) {
            printOut(QStringLiteral("Ratio guard: ") + ratioGuardSentence(*hold) +
                     QStringLiteral(" The automatic push holds back new torrents."));
        }
    }
    printOut(QStringLiteral("Pushes%1: sent %2, already on server %3, failed %4")
                 .arg(query.days ? QStringLiteral(" (last %1 days)").arg(*query.days) : QString())
                 .arg(stats.pushCounts.sent)
                 .arg(stats.pushCounts.alreadyOnServer)
                 .arg(stats.pushCounts.failed));
    return kExitSuccess;
}

}  // namespace pelloran::cli

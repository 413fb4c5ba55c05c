#include "store/activity_log.h"

#include "store/activity_database.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cmath>
#include <limits>

namespace pelloran {

namespace {

QString sql(const char* text) {
    return QString::fromLatin1(text);
}

qint64 msecs(const QDateTime& time) {
    return time.isNull() ? std::numeric_limits<qint64>::min() : time.toMSecsSinceEpoch();
}

QDateTime fromMsecs(const QVariant& value) {
    return QDateTime::fromMSecsSinceEpoch(value.toLongLong(), Qt::UTC);
}

QVariant ratioValue(const std::optional<double>& ratio) {
    return ratio ? QVariant(*ratio) : QVariant(QMetaType::fromType<double>());
}

std::optional<double> ratioFrom(const QVariant& value) {
    if (value.isNull()) {
        return std::nullopt;
    }
    return value.toDouble();
}

const char* const kSampleColumns = "taken_at, ratio, uploaded, downloaded";

MemberSample sampleFrom(const QSqlQuery& query) {
    return {fromMsecs(query.value(0)), ratioFrom(query.value(1)), query.value(2).toLongLong(),
            query.value(3).toLongLong()};
}

// The first sample a query over kSampleColumns finds; absent when none or it fails.
std::optional<MemberSample> firstSample(QSqlQuery& query) {
    if (!query.exec() || !query.next()) {
        return std::nullopt;
    }
    return sampleFrom(query);
}

void addCount(PushCounts& counts, const QString& result, qint64 n) {
    switch (pushResultFromKey(result).value_or(PushResult::Failed)) {
        case PushResult::Sent:
            counts.sent += n;
            break;
        case PushResult::AlreadyOnServer:
            counts.alreadyOnServer += n;
            break;
        case PushResult::Failed:
            counts.failed += n;
            break;
    }
}

bool insertSample(QSqlQuery& query, const MemberSample& s) {
    query.prepare(
        sql("INSERT INTO member_samples (taken_at, ratio, uploaded, downloaded) "
            "VALUES (?, ?, ?, ?)"));
    query.addBindValue(s.time.toMSecsSinceEpoch());
    query.addBindValue(ratioValue(s.ratio));
    query.addBindValue(s.uploaded);
    query.addBindValue(s.downloaded);
    return query.exec();
}

// A null QString binds as SQL NULL: the text columns hold "" for "nothing".
QString notNull(const QString& text) {
    return text.isNull() ? QStringLiteral("") : text;
}

bool insertPush(QSqlQuery& query, const PushRecord& p) {
    query.prepare(
        sql("INSERT INTO pushes (pushed_at, name, details_path, info_hash, size, client, "
            "options, result, failure, origin) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    query.addBindValue(p.time.toMSecsSinceEpoch());
    query.addBindValue(notNull(p.name));
    query.addBindValue(notNull(p.detailsPath));
    query.addBindValue(notNull(QString::fromLatin1(p.infoHash.toLower())));
    query.addBindValue(p.size ? QVariant(*p.size) : QVariant(QMetaType::fromType<qint64>()));
    query.addBindValue(notNull(p.client));
    query.addBindValue(p.options.isEmpty() ? QStringLiteral("{}") : p.options);
    query.addBindValue(pushResultKey(p.result));
    query.addBindValue(notNull(p.failure));
    query.addBindValue(pushOriginKey(p.origin));
    return query.exec();
}

}  // namespace

QString pushResultKey(PushResult result) {
    switch (result) {
        case PushResult::Sent:
            return QStringLiteral("sent");
        case PushResult::AlreadyOnServer:
            return QStringLiteral("alreadyOnServer");
        case PushResult::Failed:
            break;
    }
    return QStringLiteral("failed");
}

QString pushOriginKey(PushOrigin origin) {
    switch (origin) {
        case PushOrigin::App:
            return QStringLiteral("app");
        case PushOrigin::CommandLine:
            return QStringLiteral("commandLine");
        case PushOrigin::Automatic:
            break;
    }
    return QStringLiteral("automatic");
}

std::optional<PushResult> pushResultFromKey(const QString& key) {
    for (const PushResult r : {PushResult::Sent, PushResult::AlreadyOnServer, PushResult::Failed}) {
        if (pushResultKey(r) == key) {
            return r;
        }
    }
    return std::nullopt;
}

std::optional<PushOrigin> pushOriginFromKey(const QString& key) {
    for (const PushOrigin o : {PushOrigin::App, PushOrigin::CommandLine, PushOrigin::Automatic}) {
        if (pushOriginKey(o) == key) {
            return o;
        }
    }
    return std::nullopt;
}

QString pushOutcomeText(const PushRecord& push) {
    switch (push.result) {
        case PushResult::Sent:
            return QStringLiteral("sent");
        case PushResult::AlreadyOnServer:
            return QStringLiteral("already on server");
        case PushResult::Failed:
            break;
    }
    return push.failure.isEmpty() ? QStringLiteral("failed")
                                  : QStringLiteral("failed: ") + push.failure;
}

QString pushOriginText(PushOrigin origin) {
    return origin == PushOrigin::CommandLine ? QStringLiteral("command line")
                                             : pushOriginKey(origin);
}

bool ActivityLog::write(const QList<MemberSample>& samples, const QList<PushRecord>& pushes) {
    if (samples.isEmpty() && pushes.isEmpty()) {
        return true;
    }
    const std::optional<QSqlDatabase> db = db_.connection();
    if (!db) {
        return false;
    }
    QSqlQuery query(*db);
    // The newest sample is read and the new ones added under one write lock: two programs
    // reading the same page keep one sample.
    bool ok = query.exec(sql("BEGIN IMMEDIATE"));
    query.prepare(QStringLiteral("SELECT %1 FROM member_samples ORDER BY taken_at DESC LIMIT 1")
                      .arg(QLatin1StringView(kSampleColumns)));
    std::optional<MemberSample> newest = ok ? firstSample(query) : std::nullopt;
    ok = ok && !query.lastError().isValid();
    for (const MemberSample& s : samples) {
        if (!ok) {
            break;
        }
        if (newest && s.sameFigures(*newest) && newest->time.secsTo(s.time) < kSampleQuietSeconds) {
            continue;
        }
        ok = insertSample(query, s);
        newest = s;
    }
    for (const PushRecord& p : pushes) {
        ok = ok && insertPush(query, p);
    }
    if (ok && query.exec(sql("COMMIT"))) {
        db_.wrote();
        return true;
    }
    const QString problem = query.lastError().databaseText();
    query.exec(sql("ROLLBACK"));
    db_.failed(QStringLiteral("could not be written"),
               problem.isEmpty() ? QStringLiteral("unknown error") : problem);
    return false;
}

std::optional<MemberSample> ActivityLog::latestSample() const {
    return sampleAtOrBefore(QDateTime());
}

std::optional<MemberSample> ActivityLog::sampleAtOrBefore(const QDateTime& time) const {
    const std::optional<QSqlDatabase> db = db_.connection();
    if (!db) {
        return std::nullopt;
    }
    QSqlQuery query(*db);
    query.prepare(QStringLiteral("SELECT %1 FROM member_samples WHERE taken_at <= ? "
                                 "ORDER BY taken_at DESC, id DESC LIMIT 1")
                      .arg(QLatin1StringView(kSampleColumns)));
    query.addBindValue(time.isNull() ? std::numeric_limits<qint64>::max()
                                     : time.toMSecsSinceEpoch());
    return firstSample(query);
}

std::optional<MemberSample> ActivityLog::oldestSample() const {
    const std::optional<QSqlDatabase> db = db_.connection();
    if (!db) {
        return std::nullopt;
    }
    QSqlQuery query(*db);
    query.prepare(QStringLiteral("SELECT %1 FROM member_samples ORDER BY taken_at, id LIMIT 1")
                      .arg(QLatin1StringView(kSampleColumns)));
    return firstSample(query);
}

QList<MemberSample> ActivityLog::samples(const QDateTime& since) const {
    QList<MemberSample> all;
    const std::optional<QSqlDatabase> db = db_.connection();
    if (!db) {
        return all;
    }
    QSqlQuery query(*db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM member_samples WHERE taken_at >= ? "
                                 "ORDER BY taken_at, id")
                      .arg(QLatin1StringView(kSampleColumns)));
    query.addBindValue(msecs(since));
    if (!query.exec()) {
        return all;
    }
    while (query.next()) {
        all.append(sampleFrom(query));
    }
    return all;
}

qint64 ActivityLog::sampleCount() const {
    const std::optional<QSqlDatabase> db = db_.connection();
    if (!db) {
        return 0;
    }
    QSqlQuery query(*db);
    if (!query.exec(sql("SELECT COUNT(*) FROM member_samples")) || !query.next()) {
        return 0;
    }
    return query.value(0).toLongLong();
}

QList<PushRecord> ActivityLog::pushes(int limit) const {
    QList<PushRecord> all;
    const std::optional<QSqlDatabase> db = db_.connection();
    if (!db) {
        return all;
    }
    QSqlQuery query(*db);
    query.setForwardOnly(true);
    query.prepare(
        sql("SELECT pushed_at, name, details_path, info_hash, size, client, options, result, "
            "failure, origin FROM pushes ORDER BY pushed_at DESC, id DESC LIMIT ?"));
    query.addBindValue(limit);
    if (!query.exec()) {
        return all;
    }
    while (query.next()) {
        PushRecord p;
        p.time = fromMsecs(query.value(0));
        p.name = query.value(1).toString();
        p.detailsPath = query.value(2).toString();
        p.infoHash = query.value(3).toString().toLatin1();
        if (!query.value(4).isNull()) {
            p.size = query.value(4).toLongLong();
        }
        p.client = query.value(5).toString();
        p.options = query.value(6).toString();
        p.result = pushResultFromKey(query.value(7).toString()).value_or(PushResult::Failed);
        p.failure = query.value(8).toString();
        p.origin = pushOriginFromKey(query.value(9).toString()).value_or(PushOrigin::App);
        all.append(p);
    }
    return all;
}

PushCounts ActivityLog::pushCounts(const QDateTime& since) const {
    PushCounts counts;
    const std::optional<QSqlDatabase> db = db_.connection();
    if (!db) {
        return counts;
    }
    QSqlQuery query(*db);
    query.prepare(sql("SELECT result, COUNT(*) FROM pushes WHERE pushed_at >= ? GROUP BY result"));
    query.addBindValue(msecs(since));
    if (!query.exec()) {
        return counts;
    }
    while (query.next()) {
        addCount(counts, query.value(0).toString(), query.value(1).toLongLong());
    }
    return counts;
}

std::optional<SentWindow> ActivityLog::sentSince(PushOrigin origin, const QDateTime& since) const {
    const std::optional<QSqlDatabase> db = db_.connection();
    if (!db) {
        return std::nullopt;
    }
    QSqlQuery query(*db);
    query.prepare(
        sql("SELECT COUNT(*), TOTAL(size) FROM pushes "
            "WHERE pushed_at >= ? AND origin = ? AND result = ?"));
    query.addBindValue(msecs(since));
    query.addBindValue(pushOriginKey(origin));
    query.addBindValue(pushResultKey(PushResult::Sent));
    if (!query.exec() || !query.next()) {
        return std::nullopt;
    }
    return SentWindow{query.value(0).toInt(), qint64(query.value(1).toDouble())};
}

QList<DayPushes> ActivityLog::pushesPerDay(const QDateTime& since) const {
    QList<DayPushes> days;
    const std::optional<QSqlDatabase> db = db_.connection();
    if (!db) {
        return days;
    }
    QSqlQuery query(*db);
    query.setForwardOnly(true);
    // SQLite's 'localtime' is the C library's, the zone QDate's local days are in too.
    query.prepare(
        sql("SELECT date(pushed_at / 1000, 'unixepoch', 'localtime') AS day, result, COUNT(*) "
            "FROM pushes WHERE pushed_at >= ? GROUP BY day, result ORDER BY day"));
    query.addBindValue(msecs(since));
    if (!query.exec()) {
        return days;
    }
    while (query.next()) {
        const QDate day = QDate::fromString(query.value(0).toString(), Qt::ISODate);
        if (days.isEmpty() || days.last().day != day) {
            days.append({day, {}});
        }
        addCount(days.last().counts, query.value(1).toString(), query.value(2).toLongLong());
    }
    return days;
}

std::optional<QString> ActivityLog::state(const QString& name) const {
    const std::optional<QSqlDatabase> db = db_.connection();
    if (!db) {
        return std::nullopt;
    }
    QSqlQuery query(*db);
    query.prepare(sql("SELECT value FROM run_state WHERE name = ?"));
    query.addBindValue(name);
    if (!query.exec() || !query.next()) {
        return std::nullopt;
    }
    return query.value(0).toString();
}

bool ActivityLog::setState(const QString& name, const QString& value) {
    const std::optional<QSqlDatabase> db = db_.connection();
    if (!db) {
        return false;
    }
    QSqlQuery query(*db);
    query.prepare(sql("INSERT OR REPLACE INTO run_state (name, value) VALUES (?, ?)"));
    query.addBindValue(name);
    query.addBindValue(value);
    if (!query.exec()) {
        db_.failed(QStringLiteral("could not be written"), query.lastError().databaseText());
        return false;
    }
    db_.wrote();
    return true;
}

}  // namespace pelloran

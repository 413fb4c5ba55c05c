#pragma once
// What the activity database keeps besides the automatic push's sent record: the member bar's
// figures over time and every push with its outcome. Plain values, copied between threads.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

namespace pelloran {

// One reading of the member bar.
struct MemberSample {
    QDateTime time;  // UTC
    // Absent when the bar shows no ratio; +infinity when it shows one without downloads
    // ("Inf"), which no threshold is above.
    std::optional<double> ratio;
    qint64 uploaded = 0;  // bytes
    qint64 downloaded = 0;

    // Same figures, whatever the time.
    bool sameFigures(const MemberSample& other) const {
        return ratio == other.ratio && uploaded == other.uploaded && downloaded == other.downloaded;
    }
    friend bool operator==(const MemberSample&, const MemberSample&) = default;
};

// A new sample with the same figures as the last one is kept only this long after it.
inline constexpr qint64 kSampleQuietSeconds = qint64(10) * 60;

enum class PushResult { Sent, AlreadyOnServer, Failed };
// What started a push.
enum class PushOrigin { App, CommandLine, Automatic };

struct PushRecord {
    QDateTime time;              // UTC
    QString name;                // as the listing showed it
    QString detailsPath;         // "" when the push was given only the file's address
    QByteArray infoHash;         // 40 lowercase hex digits; "" when the file never came
    std::optional<qint64> size;  // bytes, as the listing printed it; absent when unknown
    QString client;              // the client's stored name
    QString options;             // the push options as a JSON object text; "{}" for none
    PushResult result = PushResult::Failed;
    QString failure;  // Failed: the alert title the member saw
    PushOrigin origin = PushOrigin::App;

    friend bool operator==(const PushRecord&, const PushRecord&) = default;
};

// The words used for both in the database, in JSON and in CSV.
QString pushResultKey(PushResult result);  // "sent", "alreadyOnServer", "failed"
QString pushOriginKey(PushOrigin origin);  // "app", "commandLine", "automatic"
std::optional<PushResult> pushResultFromKey(const QString& key);
std::optional<PushOrigin> pushOriginFromKey(const QString& key);

// The words a member reads for both, lower case as `pelloran-cli activity` prints them:
// "sent", "already on server", "failed: TITLE" ("failed" without a title); "app",
// "command line", "automatic".
QString pushOutcomeText(const PushRecord& push);
QString pushOriginText(PushOrigin origin);

}  // namespace pelloran

#include "support/activity_seed.h"

#include "store/activity_database.h"
#include "store/activity_log.h"

#include <QRandomGenerator>
#include <cmath>
#include <vector>

namespace pelloran::test {

bool seedActivity(ActivityDatabase& database, const ActivitySeed& seed) {
    QRandomGenerator rng(seed.seed);
    ActivityLog log(database);
    const QDateTime start = seed.end.addSecs(-seed.stepSeconds * (seed.samples - 1));
    const double perStep = double(seed.stepSeconds) / 86400.0;
    // The growth of each step first: downloads come in bursts, uploads trickle.
    std::vector<double> upSteps(size_t(seed.samples));
    std::vector<double> downSteps(size_t(seed.samples));
    double upTotal = 0;
    double downTotal = 0;
    for (size_t i = 1; i < upSteps.size(); ++i) {
        const bool burst = rng.bounded(30) == 0;
        downSteps[i] = burst ? seed.downloadedPerDay * perStep * 30 * rng.generateDouble() * 1.6
                             : seed.downloadedPerDay * perStep * rng.generateDouble() * 0.4;
        upSteps[i] = seed.uploadedPerDay * perStep * rng.generateDouble() * 2;
        upTotal += upSteps[i];
        downTotal += downSteps[i];
    }
    constexpr double kStart = 50.0 * 1024 * 1024 * 1024;
    double up = seed.endUploaded ? std::max(0.0, double(*seed.endUploaded) - upTotal) : kStart;
    double down =
        seed.endDownloaded ? std::max(1.0, double(*seed.endDownloaded) - downTotal) : kStart;
    QList<MemberSample> samples;
    samples.reserve(seed.samples);
    for (size_t i = 0; i < upSteps.size(); ++i) {
        up += upSteps[i];
        down += downSteps[i];
        if (i + 1 == upSteps.size()) {
            up = double(seed.endUploaded.value_or(qint64(up)));
            down = double(seed.endDownloaded.value_or(qint64(down)));
        }
        // The site prints three decimals.
        const double ratio = std::floor(up / down * 1000) / 1000;
        samples.append(
            {start.addSecs(seed.stepSeconds * qint64(i)), ratio, qint64(up), qint64(down)});
    }
    QList<PushRecord> pushes;
    const qint64 span = start.secsTo(seed.end);
    for (int i = 0; i < seed.pushes; ++i) {
        PushRecord p;
        p.time = start.addSecs(seed.pushes > 1 ? span * i / (seed.pushes - 1) : 0)
                     .addSecs(-qint64(rng.bounded(3600)));
        p.name = QStringLiteral("Demo.Release.S%1E%2.1080p.WEB.x264")
                     .arg(1 + i / 10, 2, 10, QLatin1Char('0'))
                     .arg(1 + i % 10, 2, 10, QLatin1Char('0'));
        p.detailsPath = QStringLiteral("/torrent/%1/Demo-Release").arg(1000 + i);
        p.infoHash = QByteArray::number(1000 + i, 16).rightJustified(40, 'a');
        p.size = qint64(rng.bounded(4000) + 200) * 1024 * 1024;
        p.client = QStringLiteral("qBittorrent");
        p.options = QStringLiteral("{}");
        const quint32 roll = rng.bounded(20);
        p.result = roll < 15 ? PushResult::Sent
                             : (roll < 18 ? PushResult::AlreadyOnServer : PushResult::Failed);
        p.failure = p.result == PushResult::Failed ? QStringLiteral("Connection Error") : QString();
        p.origin = i % 3 == 0 ? PushOrigin::App
                              : (i % 3 == 1 ? PushOrigin::Automatic : PushOrigin::CommandLine);
        pushes.append(p);
    }
    return log.write(samples, pushes);
}

}  // namespace pelloran::test

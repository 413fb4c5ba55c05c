#include "remote/automatic_push_caps.h"

#include "store/activity_log.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"

#include <cmath>
#include <limits>

namespace pelloran {

namespace {

constexpr qint64 kKb = 1024;
constexpr qint64 kMb = kKb * 1024;
constexpr qint64 kGb = kMb * 1024;
constexpr qint64 kTb = kGb * 1024;

QLatin1StringView keyOf(PushCap cap) {
    switch (cap) {
        case PushCap::MaxSize:
            return keys::pushMaxSize;
        case PushCap::MinSeeders:
            return keys::pushMinSeeders;
        case PushCap::MaxPerDay:
            return keys::pushMaxPerDay;
        case PushCap::MaxBytesPerDay:
            return keys::pushMaxBytesPerDay;
    }
    return keys::pushMaxSize;
}

std::optional<qint64> storedNumber(const SettingsStore& settings, PushCap cap) {
    bool ok = false;
    const qint64 value = settings.string(keyOf(cap)).value_or(QString()).toLongLong(&ok);
    return ok && value >= 0 ? std::optional<qint64>(value) : std::nullopt;
}

std::optional<int> storedCount(const SettingsStore& settings, PushCap cap) {
    const std::optional<qint64> n = storedNumber(settings, cap);
    return n && *n <= std::numeric_limits<int>::max() ? std::optional<int>(int(*n)) : std::nullopt;
}

}  // namespace

AutomaticPushCaps storedCaps(const SettingsStore& settings) {
    AutomaticPushCaps caps;
    caps.maxSize = storedNumber(settings, PushCap::MaxSize);
    caps.minSeeders = storedCount(settings, PushCap::MinSeeders);
    caps.maxPerDay = storedCount(settings, PushCap::MaxPerDay);
    caps.maxBytesPerDay = storedNumber(settings, PushCap::MaxBytesPerDay);
    return caps;
}

void storeCaps(SettingsStore& settings, const AutomaticPushCaps& caps,
               const QList<PushCap>& cleared) {
    const auto put = [&settings](PushCap cap, const auto& value) {
        if (value) {
            settings.setValue(keyOf(cap), QString::number(*value));
        }
    };
    put(PushCap::MaxSize, caps.maxSize);
    put(PushCap::MinSeeders, caps.minSeeders);
    put(PushCap::MaxPerDay, caps.maxPerDay);
    put(PushCap::MaxBytesPerDay, caps.maxBytesPerDay);
    for (const PushCap cap : cleared) {
        settings.setValue(keyOf(cap), QString(QLatin1StringView("")));
    }
    settings.flush();
}

std::optional<PushCap> capHoldingBack(const AutomaticPushCaps& caps,
                                      const std::optional<qint64>& size,
                                      const std::optional<int>& seeders,
                                      const std::optional<SentWindow>& lastDay) {
    if (caps.maxSize && (!size || *size > *caps.maxSize)) {
        return PushCap::MaxSize;
    }
    if (caps.minSeeders && (!seeders || *seeders < *caps.minSeeders)) {
        return PushCap::MinSeeders;
    }
    if (caps.maxPerDay && (!lastDay || lastDay->count + 1 > *caps.maxPerDay)) {
        return PushCap::MaxPerDay;
    }
    if (caps.maxBytesPerDay &&
        (!lastDay || !size || lastDay->bytes + *size > *caps.maxBytesPerDay)) {
        return PushCap::MaxBytesPerDay;
    }
    return std::nullopt;
}

std::optional<qint64> parseSize(const QString& text) {
    QString t = text.trimmed().toUpper();
    t.remove(QLatin1Char(','));
    qint64 unit = 0;
    for (const auto& [suffix, bytes] :
         {std::pair{"TB", kTb}, std::pair{"GB", kGb}, std::pair{"MB", kMb}, std::pair{"KB", kKb}}) {
        if (t.endsWith(QLatin1StringView(suffix))) {
            unit = bytes;
            t.chop(2);
            break;
        }
    }
    bool ok = false;
    const double number = t.trimmed().toDouble(&ok);
    // Nothing real is more than a few hundred terabytes: beyond, the number is nonsense.
    if (unit == 0 || !ok || !std::isfinite(number) || number < 0 || number > 1e6) {
        return std::nullopt;
    }
    return qint64(std::llround(number * double(unit)));
}

std::optional<int> parseCount(const QString& text) {
    QString t = text.trimmed();
    t.remove(QLatin1Char(','));
    bool ok = false;
    const int value = t.toInt(&ok);
    return ok && value >= 0 ? std::optional<int>(value) : std::nullopt;
}

QString sizeText(qint64 bytes) {
    const auto shown = [](double value, const char* unit) {
        // Whole numbers without decimals ("20 GB"), others with up to two ("1.37 GB").
        QString number = QString::number(value, 'f', 2);
        while (number.contains(QLatin1Char('.')) &&
               (number.endsWith(QLatin1Char('0')) || number.endsWith(QLatin1Char('.')))) {
            number.chop(1);
        }
        return number + QLatin1Char(' ') + QLatin1StringView(unit);
    };
    if (bytes >= kTb) {
        return shown(double(bytes) / kTb, "TB");
    }
    if (bytes >= kGb) {
        return shown(double(bytes) / kGb, "GB");
    }
    if (bytes >= kMb) {
        return shown(double(bytes) / kMb, "MB");
    }
    return shown(double(bytes) / kKb, "KB");
}

QString capKey(PushCap cap) {
    switch (cap) {
        case PushCap::MaxSize:
            return QStringLiteral("maxSize");
        case PushCap::MinSeeders:
            return QStringLiteral("minSeeders");
        case PushCap::MaxPerDay:
            return QStringLiteral("maxPerDay");
        case PushCap::MaxBytesPerDay:
            return QStringLiteral("maxBytesPerDay");
    }
    return QString();
}

QString capWords(PushCap cap) {
    switch (cap) {
        case PushCap::MaxSize:
            return QStringLiteral("largest size");
        case PushCap::MinSeeders:
            return QStringLiteral("fewest seeders");
        case PushCap::MaxPerDay:
            return QStringLiteral("torrents a day");
        case PushCap::MaxBytesPerDay:
            return QStringLiteral("size a day");
    }
    return QString();
}

QString capLimitText(const AutomaticPushCaps& caps, PushCap cap) {
    switch (cap) {
        case PushCap::MaxSize:
            return caps.maxSize ? QStringLiteral("largest size %1").arg(sizeText(*caps.maxSize))
                                : QStringLiteral("no largest size");
        case PushCap::MinSeeders:
            return caps.minSeeders ? QStringLiteral("at least %1 seeders").arg(*caps.minSeeders)
                                   : QStringLiteral("no fewest seeders");
        case PushCap::MaxPerDay:
            if (caps.maxPerDay == 1) {
                return QStringLiteral("at most 1 torrent a day");
            }
            return caps.maxPerDay ? QStringLiteral("at most %1 torrents a day").arg(*caps.maxPerDay)
                                  : QStringLiteral("no count a day");
        case PushCap::MaxBytesPerDay:
            return caps.maxBytesPerDay
                       ? QStringLiteral("at most %1 a day").arg(sizeText(*caps.maxBytesPerDay))
                       : QStringLiteral("no size a day");
    }
    return QString();
}

}  // namespace pelloran

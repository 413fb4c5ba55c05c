#include "net/slow_down.h"

#include <algorithm>

namespace pelloran {

namespace {

constexpr int kTooManyRequests = 429;
constexpr int kServiceUnavailable = 503;

// Far beyond any wait worth keeping: a number this large is read as "a very long time".
constexpr qint64 kLongestWaitSeconds = qint64(365) * 24 * 3600;

QString counted(qint64 n, const char* one, const char* many) {
    return QString::number(n) + QLatin1Char(' ') + QLatin1StringView(n == 1 ? one : many);
}

}  // namespace

std::optional<std::chrono::seconds> retryAfterDelay(const QByteArray& value, const QDateTime& now) {
    const QByteArray text = value.trimmed();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    bool allDigits = true;
    for (const char c : text) {
        allDigits = allDigits && c >= '0' && c <= '9';
    }
    if (allDigits) {
        bool ok = false;
        const qlonglong seconds = text.size() > 12 ? kLongestWaitSeconds : text.toLongLong(&ok);
        return std::chrono::seconds(
            std::min<qlonglong>(ok ? seconds : kLongestWaitSeconds, kLongestWaitSeconds));
    }
    // The HTTP date is RFC 1123's form of RFC 2822's date, "Wed, 21 Oct 2015 07:28:00 GMT",
    // whose zone Qt reads only as an offset.
    QString date = QString::fromLatin1(text);
    if (date.endsWith(QLatin1StringView(" GMT")) || date.endsWith(QLatin1StringView(" UTC"))) {
        date = date.chopped(3) + QStringLiteral("+0000");
    }
    const QDateTime when = QDateTime::fromString(date, Qt::RFC2822Date);
    if (!when.isValid()) {
        return std::nullopt;
    }
    const qint64 seconds = now.secsTo(when);
    return std::chrono::seconds(std::clamp<qint64>(seconds, 0, kLongestWaitSeconds));
}

std::optional<SlowDown> slowDownAnswer(int status, const HeaderList& headers,
                                       const QDateTime& now) {
    if (status != kTooManyRequests && status != kServiceUnavailable) {
        return std::nullopt;
    }
    const std::optional<QByteArray> header = headerValue(headers, "Retry-After");
    const std::optional<std::chrono::seconds> wait =
        header ? retryAfterDelay(*header, now) : std::nullopt;
    if (status == kServiceUnavailable && !wait) {
        return std::nullopt;  // an outage, not a request to slow down
    }
    return SlowDown{wait};
}

QString waitInWords(std::chrono::seconds wait) {
    const qint64 s = wait.count();
    if (s < 120) {
        return counted(s, "second", "seconds");
    }
    if (s < qint64{2} * 3600) {
        return counted((s + 59) / 60, "minute", "minutes");
    }
    return counted((s + 3599) / 3600, "hour", "hours");
}

QString slowDownMessage(const SlowDown& slowDown) {
    if (!slowDown.wait) {
        return QStringLiteral("The site asked to slow down. Try again later.");
    }
    return QStringLiteral("The site asked to slow down for %1. Try again after that.")
        .arg(waitInWords(*slowDown.wait));
}

}  // namespace pelloran

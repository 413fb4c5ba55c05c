#pragma once
// A server asking us to slow down: 429 (too many requests), or 503 (unavailable) with a
// Retry-After header, whose value is either a number of seconds or an HTTP date. A request
// waits such an answer out once when the wait fits in its time (http_request.h); otherwise it
// ends with no page and carries the SlowDown, so that the front end can say for how long.
//
// Pure and thread-safe.

#include "net/url_loader.h"

#include <QDateTime>
#include <QString>
#include <chrono>
#include <optional>

namespace pelloran {

struct SlowDown {
    // How long the server asked us to wait; absent when a 429 gave no (readable) Retry-After.
    std::optional<std::chrono::seconds> wait;

    friend bool operator==(const SlowDown&, const SlowDown&) = default;
};

// The wait a Retry-After value asks for, measured from `now`: whole seconds ("120"), or an HTTP
// date ("Wed, 21 Oct 2015 07:28:00 GMT"; one in the past is no wait). Absent when the value is
// neither.
std::optional<std::chrono::seconds> retryAfterDelay(const QByteArray& value, const QDateTime& now);

// What an answer says about slowing down: a SlowDown for 429 (with or without Retry-After) and
// for 503 with a readable Retry-After; absent for anything else.
std::optional<SlowDown> slowDownAnswer(int status, const HeaderList& headers,
                                       const QDateTime& now = QDateTime::currentDateTimeUtc());

// "The site asked to slow down for 2 minutes. Try again after that." and the like, for the
// member.
QString slowDownMessage(const SlowDown& slowDown);
// "45 seconds", "2 minutes", "3 hours": a wait in words, rounded up to the unit.
QString waitInWords(std::chrono::seconds wait);

}  // namespace pelloran

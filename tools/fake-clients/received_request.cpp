#include "received_request.h"

#include <algorithm>

namespace pelloran::fake {

namespace {

bool sameName(const QByteArray& a, const QByteArray& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

QByteArray ReceivedRequest::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers) {
        if (sameName(key, name)) {
            return value;
        }
    }
    return {};
}

bool ReceivedRequest::hasHeader(const QByteArray& name) const {
    return std::any_of(headers.begin(), headers.end(),
                       [&](const auto& entry) { return sameName(entry.first, name); });
}

std::optional<QByteArray> ReceivedRequest::queryValue(const QByteArray& name) const {
    for (const auto& [key, value] : query) {
        if (key == name) {
            return value;
        }
    }
    return std::nullopt;
}

const ReceivedPart* ReceivedRequest::part(const QByteArray& name) const {
    for (const ReceivedPart& candidate : parts) {
        if (candidate.name == name) {
            return &candidate;
        }
    }
    return nullptr;
}

}  // namespace pelloran::fake

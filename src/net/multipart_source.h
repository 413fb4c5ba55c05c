#pragma once
// Something that supplies a multipart/form-data upload body (the remote-client adapters).
// All bodies share one boundary, announced by the request's Content-Type header.

#include <QByteArray>
#include <QLatin1StringView>

namespace pelloran {

inline constexpr QLatin1StringView kMultipartBoundary{
    "---------------------------20072377098235644401115438165"};

class MultipartSource {
public:
    virtual ~MultipartSource() = default;
    virtual QByteArray getData() = 0;  // the complete body, boundary lines included
};

}  // namespace pelloran

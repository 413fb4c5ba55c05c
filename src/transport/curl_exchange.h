#pragma once
// One exchange over libcurl, as url_loader.h describes it, on a handle borrowed from `pool`
// (whose share, if any, brings the cookie engine). Blocks the calling thread.

#include "net/url_loader.h"
#include "transport/connection_pool.h"

namespace pelloran {

UrlLoadResult loadOverCurl(const UrlLoadRequest& request, ConnectionPool& pool);

}  // namespace pelloran

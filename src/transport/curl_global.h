#pragma once
// libcurl's process-wide initialisation, done once before any handle is made.

namespace pelloran {
void ensureCurlGlobalInit();
}

#pragma once
// httplib listens with a backlog of 5, fixed when the library was built. A client that opens
// ten connections at once (the favorites scan does) then loses SYNs and waits a second for
// the retransmission. A real site has a long queue; so does this one after this call.

namespace pelloran::demo {

// Re-arms the listening socket bound to 127.x.y.z:`port` with the system's largest backlog.
// Linux only (walks /proc/self/fd); does nothing when the socket can't be found.
void widenListenBacklog(int port);

}  // namespace pelloran::demo

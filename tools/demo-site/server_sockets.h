#pragma once
// Two things httplib leaves fixed that a site on loopback needs otherwise. Linux only: both walk
// /proc/self/fd, and do nothing when the sockets can't be found.

#include <QString>

namespace pelloran::demo {

// httplib listens with a backlog of 5, fixed when the library was built. A client that opens
// ten connections at once (the favorites scan does) then loses SYNs and waits a second for
// the retransmission. A real site has a long queue; so does this one after this call.
// Re-arms the listening socket bound to `address`:`port` with the system's largest backlog.
void widenListenBacklog(const QString& address, int port);

// httplib's stop() waits for every kept-alive connection to time out (5 s) when the client
// keeps it open, as Pelloran's connection pool does. Shutting the sockets accepted on
// `address`:`port` down ends those waits at once. Call after the server's stop(), before
// joining its thread.
void shutDownAcceptedConnections(const QString& address, int port);

}  // namespace pelloran::demo

#pragma once
// Keeps libcurl easy handles between exchanges so that their open connections are used again:
// a favorites scan or a push pays one TCP handshake per server rather than one per request.
//
// libcurl lets a handle move between threads but never be used by two at once, and its shared
// connection cache (CURL_LOCK_DATA_CONNECT) is not safe between concurrent threads in the
// versions we build against. So each exchange borrows a whole handle, with the connections it
// holds, and gives it back when done. A borrower asking for an origin ("http://host:port") gets
// the handle that last served it when one is idle; at most kMaxIdle handles are kept.
//
// Each easy handle comes with a multi handle of its own, which keeps its connections and lets
// the exchange wait in a poll that another thread can wake (cancellation.h).
//
// Thread-safe. Every handle is attached to the share given at construction (none when null),
// which must outlive the pool.

#include <QByteArray>
#include <QMutex>
#include <vector>

typedef void CURL;    // NOLINT: libcurl's own opaque types
typedef void CURLM;   // NOLINT
typedef void CURLSH;  // NOLINT

namespace pelloran {

class ConnectionPool {
public:
    static constexpr size_t kMaxIdle = 16;

    explicit ConnectionPool(CURLSH* share);
    ~ConnectionPool();  // closes every idle connection
    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;

    // A handle with its options reset and its connections kept, returned on destruction.
    class Lease {
    public:
        Lease(ConnectionPool* pool, CURL* handle, CURLM* multi, QByteArray origin)
            : pool_(pool), handle_(handle), multi_(multi), origin_(std::move(origin)) {}
        ~Lease();
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;

        CURL* get() const { return handle_; }  // null when libcurl could not make one
        // The handle's own multi handle, which holds its connections; never null with get().
        CURLM* multi() const { return multi_; }
        // The origin the handle is connected to last, for the next borrower.
        void setOrigin(const QByteArray& origin) { origin_ = origin; }

    private:
        ConnectionPool* pool_;
        CURL* handle_;
        CURLM* multi_;
        QByteArray origin_;
    };

    Lease acquire(const QByteArray& origin);

    // Handles made so far, for tests and benchmarks.
    int handlesCreated() const;

private:
    struct Idle {
        CURL* handle;
        CURLM* multi;
        QByteArray origin;
    };
    void release(const Idle& idle);
    static void close(const Idle& idle);

    CURLSH* const share_;
    mutable QMutex mutex_;
    std::vector<Idle> idle_;  // least recently returned first
    int created_ = 0;
};

}  // namespace pelloran

#pragma once
// The shared cookie store: libcurl's cookie engine, shared by every HTTP exchange on every
// thread (a curl share handle with locking), persisted to a Netscape-format cookies file.
//
// Accepts every cookie a server sets, for every host (redirects included). Thread-safe.
//
// The store also keeps the handles of finished exchanges with their open connections
// (connections()), since they are attached to its share.

#include "net/connection_pool.h"

#include <QList>
#include <QMutex>
#include <QString>
#include <memory>

typedef void CURLSH;  // NOLINT: libcurl's own opaque type

namespace pelloran {

struct Cookie {
    QString domain;  // as stored: host-only cookies "host", domain cookies ".example.com"
    bool includeSubdomains = false;
    QString path = QStringLiteral("/");
    bool secure = false;
    qint64 expires = 0;  // Unix time; 0 = session cookie
    QString name;
    QString value;
    bool httpOnly = false;
};

class CookieStore {
public:
    // `filePath` empty: cookies live in memory only. Otherwise they are loaded from it now
    // (unreadable or malformed lines are skipped) and written back by save().
    explicit CookieStore(const QString& filePath = {});
    ~CookieStore();
    CookieStore(const CookieStore&) = delete;
    CookieStore& operator=(const CookieStore&) = delete;

    // For easy handles: curl_easy_setopt(h, CURLOPT_SHARE, store.share()).
    CURLSH* share() const { return share_; }
    // Where exchanges borrow their easy handles; closed with the store.
    ConnectionPool& connections() { return *connections_; }

    QList<Cookie> cookies() const;
    void setCookie(const Cookie& cookie);
    // Deletes every cookie whose domain is exactly `domain`; returns how many went.
    int deleteCookiesWithDomain(const QString& domain);
    void clear();

    // Writes the cookies file atomically (mode 0600) when its content changed since the last
    // save. True when the file is up to date afterwards. Memory-only stores do nothing.
    bool save();

    QString filePath() const { return filePath_; }

private:
    QList<QByteArray> netscapeLines() const;
    void addNetscapeLine(const QByteArray& line);
    void load();

    struct Locks;
    std::unique_ptr<Locks> locks_;
    CURLSH* share_ = nullptr;
    std::unique_ptr<ConnectionPool> connections_;
    QString filePath_;
    QMutex mutex_;  // serialises whole-store edits and saves
    QByteArray lastSaved_;
};

}  // namespace pelloran

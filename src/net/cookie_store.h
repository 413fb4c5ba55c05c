#pragma once
// The shared cookie store: the HTTP engine's cookie engine (http_engine.h), shared by every
// HTTP exchange on every thread, persisted to a Netscape-format cookies file.
//
// Accepts every cookie a server sets, for every host (redirects included). Thread-safe.
//
// The app and pelloran-cli runs may share the file. A save merges under a lock file beside it
// (cookies.txt.lock): the file is read again when another process replaced it, this store's
// own changes since its last load or save (cookies set, changed, deleted) are applied over it,
// and the result is written. Cookies other processes stored are kept, and the ones this store
// did not change itself are taken into memory too (a sign-in or a logout elsewhere shows here).
// A file that can't be read is set aside (renamed, never overwritten), told once through
// takeNotices().
//
// The engine, which also keeps the open connections of finished exchanges, is made the first
// time the cookies or an exchange need it: a run that does neither never loads it.

#include "net/cookie_lines.h"
#include "net/http_engine.h"
#include "store/background_writer.h"
#include "store/store_file.h"
#include "store/store_lock.h"
#include "store/store_notice.h"

#include <QList>
#include <QMutex>
#include <QString>
#include <memory>
#include <mutex>
#include <optional>

namespace pelloran {

class CookieStore {
public:
    // `filePath` empty: cookies live in memory only. Otherwise they are loaded from it now
    // (unreadable lines are skipped; a file that can't be read at all is set aside) and
    // written back by save().
    explicit CookieStore(const QString& filePath = {}, LockTiming lockTiming = {});
    ~CookieStore();
    CookieStore(const CookieStore&) = delete;
    CookieStore& operator=(const CookieStore&) = delete;

    // The engine holding the cookies, made (with the cookies read from the file) on the first
    // call; exchanges run on it. Must not be called with mutex_ held.
    HttpEngine& engine() const;

    // The live cookies, one per identity, as a save would write them.
    QList<Cookie> cookies() const;
    void setCookie(const Cookie& cookie);
    // Deletes every cookie whose domain is exactly `domain`; returns how many went.
    int deleteCookiesWithDomain(const QString& domain);
    void clear();

    // Merges this store's changes into the file (atomically, mode 0600) when there are any.
    // True when the file holds them afterwards (or there was nothing to write); false when it
    // could not be written: saveProblem() says why, a notice tells it once, and the changes
    // are tried again at the next save. Memory-only stores do nothing.
    bool save();
    // save() on a thread of its own, returning at once: for the UI thread, which doesn't wait
    // for the disk. A failure is told as save() tells it.
    void saveInBackground();

    // Why the last save failed; absent once a save has worked (or found nothing to write).
    std::optional<QString> saveProblem() const;

    QString filePath() const { return filePath_; }
    QList<StoreNotice> takeNotices() { return notices_.take(); }
    NoticeLog& notices() { return notices_; }

private:
    QList<QByteArray> netscapeLines() const;
    void addNetscapeLine(const QByteArray& line);
    CookieMap liveCookies() const;
    void load();
    // Re-reads the file when another process replaced it; sets a broken one aside (the lock
    // must be held for that). False when the file is broken and still in place.
    bool syncWithFile(bool haveLock);
    void failed(const QString& why);

    mutable std::once_flag engineMade_;
    mutable std::unique_ptr<HttpEngine> engine_;  // set under mutex_, once
    QString filePath_;
    QString lockPath_;
    LockTiming lockTiming_;
    NoticeLog notices_;

    mutable QMutex mutex_;  // serialises whole-store edits and saves; guards the fields below
    // The engine's cookies as of the last load or save; first set when the engine is made,
    // which a const call may do.
    mutable CookieMap synced_;
    CookieMap disk_;    // the file's cookies as last read or written
    PinnedStamp seen_;  // the file disk_ came from
    QString brokenProblem_;
    std::optional<QString> saveProblem_;

    // Last: it goes first, waiting for a save in progress that uses the fields above.
    BackgroundWriter writer_{[this] { save(); }};
};

}  // namespace pelloran

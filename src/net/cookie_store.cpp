#include "net/cookie_store.h"

#include "net/curl_global.h"

#include <curl/curl.h>

#include <QDateTime>
#include <QFileInfo>
#include <QSet>
#include <array>
#include <mutex>

namespace pelloran {

namespace {

constexpr qint64 kMaxCookieFileSize = 4 * 1024 * 1024;

struct EasyDeleter {
    void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

qint64 now() {
    return QDateTime::currentSecsSinceEpoch();
}

QString unreadableText(const QString& file, const QString& problem, const QString& whyNot) {
    return QStringLiteral(
               "The cookie file %1 could not be read (%2) nor set aside (%3). "
               "Cookies are not saved, so that it is not overwritten.")
        .arg(file, problem, whyNot);
}

}  // namespace

struct CookieStore::Locks {
    std::array<std::mutex, CURL_LOCK_DATA_LAST> mutexes;
};

namespace {
void lockShare(CURL*, curl_lock_data data, curl_lock_access, void* user) {
    static_cast<std::array<std::mutex, CURL_LOCK_DATA_LAST>*>(user)->at(data).lock();
}
void unlockShare(CURL*, curl_lock_data data, void* user) {
    static_cast<std::array<std::mutex, CURL_LOCK_DATA_LAST>*>(user)->at(data).unlock();
}
}  // namespace

CookieStore::CookieStore(const QString& filePath, LockTiming lockTiming)
    : locks_(std::make_unique<Locks>()),
      filePath_(filePath),
      lockPath_(filePath + QStringLiteral(".lock")),
      lockTiming_(lockTiming) {
    ensureCurlGlobalInit();
    share_ = curl_share_init();
    curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, lockShare);
    curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, unlockShare);
    curl_share_setopt(share_, CURLSHOPT_USERDATA, &locks_->mutexes);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    connections_ = std::make_unique<ConnectionPool>(share_);
    privateConnections_ = std::make_unique<ConnectionPool>(nullptr);
    if (!filePath_.isEmpty()) {
        load();
    }
}

CookieStore::~CookieStore() {
    connections_.reset();  // its handles hold the share
    curl_share_cleanup(share_);
}

QList<QByteArray> CookieStore::netscapeLines() const {
    EasyHandle h(curl_easy_init());
    curl_easy_setopt(h.get(), CURLOPT_SHARE, share_);
    struct curl_slist* list = nullptr;
    QList<QByteArray> lines;
    if (curl_easy_getinfo(h.get(), CURLINFO_COOKIELIST, &list) == CURLE_OK) {
        for (auto* item = list; item; item = item->next) {
            lines.append(QByteArray(item->data));
        }
    }
    curl_slist_free_all(list);
    return lines;
}

void CookieStore::addNetscapeLine(const QByteArray& line) {
    EasyHandle h(curl_easy_init());
    curl_easy_setopt(h.get(), CURLOPT_SHARE, share_);
    curl_easy_setopt(h.get(), CURLOPT_COOKIELIST, line.constData());
}

QList<Cookie> CookieStore::cookies() const {
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    QList<Cookie> result;
    for (const QByteArray& line : netscapeLines()) {
        if (auto c = parseCookieLine(line); c && !isExpired(*c, now)) {
            result.append(*c);
        }
    }
    return result;
}

void CookieStore::setCookie(const Cookie& cookie) {
    QMutexLocker lock(&mutex_);
    addNetscapeLine(formatCookieLine(cookie));
}

int CookieStore::deleteCookiesWithDomain(const QString& domain) {
    QMutexLocker lock(&mutex_);
    const QList<QByteArray> lines = netscapeLines();
    QList<QByteArray> kept;
    int removed = 0;
    for (const QByteArray& line : lines) {
        const auto c = parseCookieLine(line);
        if (c && c->domain == domain) {
            ++removed;
        } else {
            kept.append(line);
        }
    }
    if (removed > 0) {
        EasyHandle h(curl_easy_init());
        curl_easy_setopt(h.get(), CURLOPT_SHARE, share_);
        curl_easy_setopt(h.get(), CURLOPT_COOKIELIST, "ALL");
        for (const QByteArray& line : kept) {
            addNetscapeLine(line);
        }
    }
    return removed;
}

void CookieStore::clear() {
    QMutexLocker lock(&mutex_);
    EasyHandle h(curl_easy_init());
    curl_easy_setopt(h.get(), CURLOPT_SHARE, share_);
    curl_easy_setopt(h.get(), CURLOPT_COOKIELIST, "ALL");
}

CookieMap CookieStore::liveCookies() const {
    return cookieMapOfLines(netscapeLines(), now());
}

void CookieStore::load() {
    QMutexLocker lock(&mutex_);
    if (!syncWithFile(false)) {
        // Setting the file aside needs the lock: another process may be replacing it now.
        StoreLock fileLock(lockPath_, lockTiming_);
        QString whyNot;
        if (fileLock.acquire(&whyNot)) {
            syncWithFile(true);
        } else {
            notices_.add({StoreNotice::Kind::NotSaved, filePath_, QString(),
                          unreadableText(filePath_, brokenProblem_, whyNot)});
        }
    }
    for (const QByteArray& line : disk_) {
        addNetscapeLine(line);
    }
    synced_ = liveCookies();
}

bool CookieStore::syncWithFile(bool haveLock) {
    if (seen_.matches(filePath_)) {
        return true;
    }
    StoreFileRead read = readStoreFile(filePath_, kMaxCookieFileSize);
    QString problem = read.problem;
    if (read.status == StoreFileRead::Status::Missing) {
        disk_.clear();
        seen_ = std::move(read.stamp);
        return true;
    }
    if (read.status == StoreFileRead::Status::Read) {
        CookieFileContent parsed = parseCookieFile(read.content, now());
        if (!parsed.notCookieFile) {
            disk_ = std::move(parsed.cookies);
            seen_ = std::move(read.stamp);
            return true;
        }
        problem = QStringLiteral("it is not a cookies file");
    }
    seen_ = PinnedStamp();  // unknown: read again at the next step
    brokenProblem_ = problem;
    if (!haveLock) {
        return false;
    }
    QString whyNot;
    if (const std::optional<QString> aside = moveAside(filePath_, &whyNot)) {
        notices_.add({StoreNotice::Kind::SetAside, filePath_, *aside,
                      QStringLiteral("The cookie file %1 could not be read (%2). It was set aside "
                                     "as %3; you may have to sign in again.")
                          .arg(filePath_, problem, *aside)});
        // Broken while this store ran: the cookies read from it before are written back.
        seen_ = PinnedStamp::absent();
        return true;
    }
    notices_.add({StoreNotice::Kind::NotSaved, filePath_, QString(),
                  unreadableText(filePath_, problem, whyNot)});
    return false;
}

void CookieStore::failed(const QString& why) {
    saveProblem_ = QStringLiteral("The cookies could not be saved in %1 (%2).").arg(filePath_, why);
    notices_.add({StoreNotice::Kind::NotSaved, filePath_, QString(), *saveProblem_});
}

bool CookieStore::save() {
    if (filePath_.isEmpty()) {
        return true;
    }
    QMutexLocker lock(&mutex_);
    const CookieMap current = liveCookies();
    // This store's own changes since the last load or save: set, changed, deleted or expired.
    QSet<QString> ours;
    for (auto it = current.constBegin(); it != current.constEnd(); ++it) {
        if (synced_.value(it.key()) != it.value()) {
            ours.insert(it.key());
        }
    }
    for (auto it = synced_.constBegin(); it != synced_.constEnd(); ++it) {
        if (!current.contains(it.key())) {
            ours.insert(it.key());
        }
    }
    if (ours.isEmpty()) {
        saveProblem_.reset();
        notices_.saved();
        return true;
    }
    QString problem;
    if (!ensurePrivateDirectory(QFileInfo(filePath_).absolutePath(), &problem)) {
        failed(problem);
        return false;
    }
    StoreLock fileLock(lockPath_, lockTiming_);
    if (!fileLock.acquire(&problem)) {
        failed(problem);
        return false;
    }
    if (!syncWithFile(true)) {
        failed(QStringLiteral("the file there can't be read and is kept as it is"));
        return false;
    }
    CookieMap merged = cookieMapOfLines(disk_.values(), now());  // drops what expired since
    for (const QString& key : ours) {
        if (const auto it = current.constFind(key); it != current.constEnd()) {
            merged.insert(key, it.value());
        } else {
            merged.remove(key);
        }
    }
    if (!writePrivateFile(filePath_, formatCookieFile(merged), &problem)) {
        failed(problem);
        return false;
    }
    disk_ = merged;
    seen_ = PinnedStamp::of(filePath_);

    // Take in what other processes stored or deleted since this store last looked. A cookie
    // is deleted from the engine by setting an expired copy of it.
    for (auto it = merged.constBegin(); it != merged.constEnd(); ++it) {
        if (!ours.contains(it.key()) && current.value(it.key()) != it.value()) {
            addNetscapeLine(it.value());
        }
    }
    for (auto it = current.constBegin(); it != current.constEnd(); ++it) {
        if (!ours.contains(it.key()) && !merged.contains(it.key())) {
            if (std::optional<Cookie> gone = parseCookieLine(it.value())) {
                gone->expires = 1;
                addNetscapeLine(formatCookieLine(*gone));
            }
        }
    }
    synced_ = std::move(merged);
    saveProblem_.reset();
    notices_.saved();
    return true;
}

std::optional<QString> CookieStore::saveProblem() const {
    QMutexLocker lock(&mutex_);
    return saveProblem_;
}

}  // namespace pelloran

#include "net/cookie_store.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSet>

namespace pelloran {

namespace {

constexpr qint64 kMaxCookieFileSize = qint64(4) * 1024 * 1024;

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

CookieStore::CookieStore(const QString& filePath, LockTiming lockTiming)
    : filePath_(filePath), lockPath_(filePath + QStringLiteral(".lock")), lockTiming_(lockTiming) {
    if (!filePath_.isEmpty()) {
        load();
    }
}

CookieStore::~CookieStore() = default;

void CookieStore::saveInBackground() {
    writer_.request();
}

HttpEngine& CookieStore::engine() const {
    std::call_once(engineMade_, [this] {
        std::unique_ptr<HttpEngine> made = makeHttpEngine(nullptr);
        QMutexLocker lock(&mutex_);
        for (const QByteArray& line : disk_) {
            made->addCookieLine(line);
        }
        synced_ = cookieMapOfLines(made->cookieLines(), now());
        engine_ = std::move(made);
    });
    return *engine_;
}

QList<QByteArray> CookieStore::netscapeLines() const {
    return engine().cookieLines();
}

void CookieStore::addNetscapeLine(const QByteArray& line) {
    engine().addCookieLine(line);
}

QList<Cookie> CookieStore::cookies() const {
    // The cookies as a save would write them: the engine may hold two entries that are one
    // cookie to the file (written once with and once without a leading dot, say), and a
    // caller must never see a cookie the file can't keep.
    QList<Cookie> result;
    for (const QByteArray& line : liveCookies()) {
        if (auto c = parseCookieLine(line)) {
            result.append(*c);
        }
    }
    return result;
}

void CookieStore::setCookie(const Cookie& cookie) {
    engine();
    QMutexLocker lock(&mutex_);
    addNetscapeLine(formatCookieLine(cookie));
}

int CookieStore::deleteCookiesWithDomain(const QString& domain) {
    engine();
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
        engine().clearCookies();
        for (const QByteArray& line : kept) {
            addNetscapeLine(line);
        }
    }
    return removed;
}

void CookieStore::clear() {
    engine().clearCookies();
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
    // The engine takes these cookies when it is made (engine()).
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
    if (!engine_) {
        // No engine yet: nothing was set or sent, so nothing of this store's to write.
        saveProblem_.reset();
        notices_.saved();
        return true;
    }
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

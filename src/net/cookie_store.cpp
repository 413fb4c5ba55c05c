#include "net/cookie_store.h"

#include "net/curl_global.h"

#include <curl/curl.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <mutex>

namespace pelloran {

namespace {

constexpr qint64 kMaxCookieFileSize = 4 * 1024 * 1024;
constexpr char kHttpOnlyPrefix[] = "#HttpOnly_";
constexpr char kFileHeader[] =
    "# Netscape HTTP Cookie File\n# Written by Pelloran. Holds session cookies: keep private.\n\n";

struct EasyDeleter {
    void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

std::optional<Cookie> parseLine(const QByteArray& rawLine) {
    QByteArray line = rawLine;
    Cookie c;
    if (line.startsWith(kHttpOnlyPrefix)) {
        c.httpOnly = true;
        line = line.mid(static_cast<qsizetype>(sizeof(kHttpOnlyPrefix) - 1));
    }
    const QList<QByteArray> f = line.split('\t');
    if (f.size() < 7) {
        return std::nullopt;
    }
    c.domain = QString::fromUtf8(f[0]);
    c.includeSubdomains = f[1] == "TRUE";
    c.path = QString::fromUtf8(f[2]);
    c.secure = f[3] == "TRUE";
    c.expires = f[4].toLongLong();
    c.name = QString::fromUtf8(f[5]);
    c.value = QString::fromUtf8(f[6]);
    return c;
}

QByteArray formatLine(const Cookie& c) {
    QByteArray line;
    if (c.httpOnly) {
        line += kHttpOnlyPrefix;
    }
    line += c.domain.toUtf8() + '\t' + (c.includeSubdomains ? "TRUE" : "FALSE") + '\t' +
            c.path.toUtf8() + '\t' + (c.secure ? "TRUE" : "FALSE") + '\t' +
            QByteArray::number(c.expires) + '\t' + c.name.toUtf8() + '\t' + c.value.toUtf8();
    return line;
}

bool expired(const Cookie& c, qint64 now) {
    return c.expires != 0 && c.expires < now;
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

CookieStore::CookieStore(const QString& filePath)
    : locks_(std::make_unique<Locks>()), filePath_(filePath) {
    ensureCurlGlobalInit();
    share_ = curl_share_init();
    curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, lockShare);
    curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, unlockShare);
    curl_share_setopt(share_, CURLSHOPT_USERDATA, &locks_->mutexes);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    if (!filePath_.isEmpty()) {
        load();
    }
}

CookieStore::~CookieStore() {
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
        if (auto c = parseLine(line); c && !expired(*c, now)) {
            result.append(*c);
        }
    }
    return result;
}

void CookieStore::setCookie(const Cookie& cookie) {
    QMutexLocker lock(&mutex_);
    addNetscapeLine(formatLine(cookie));
}

int CookieStore::deleteCookiesWithDomain(const QString& domain) {
    QMutexLocker lock(&mutex_);
    const QList<QByteArray> lines = netscapeLines();
    QList<QByteArray> kept;
    int removed = 0;
    for (const QByteArray& line : lines) {
        const auto c = parseLine(line);
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

void CookieStore::load() {
    QFile file(filePath_);
    if (!file.exists() || file.size() > kMaxCookieFileSize || !file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QList<QByteArray> lines = file.readAll().split('\n');
    QMutexLocker lock(&mutex_);
    for (QByteArray line : lines) {
        // Only the line's end goes: a trailing tab is the value of a cookie whose value is "".
        while (line.endsWith('\r')) {
            line.chop(1);
        }
        const QByteArray bare = line.trimmed();
        if (bare.isEmpty() || (bare.startsWith('#') && !bare.startsWith(kHttpOnlyPrefix))) {
            continue;
        }
        // curl reads a line up to its first NUL: such a line would load as another cookie.
        if (line.contains('\0')) {
            continue;
        }
        // Anything else is not a cookie line: skip it. A cookie names its host: one whose
        // domain is empty once curl drops its leading dot would be saved with an empty first
        // field, which curl's reader skips, and one that still starts with a dot would lose
        // that dot at every load; either would load back as another cookie.
        const std::optional<Cookie> cookie = parseLine(line);
        if (!cookie) {
            continue;
        }
        QStringView host(cookie->domain);
        if (host.startsWith(u'.')) {
            host = host.mid(1);
        }
        if (!host.isEmpty() && !host.startsWith(u'.')) {
            addNetscapeLine(line);
        }
    }
    lastSaved_.clear();
}

bool CookieStore::save() {
    if (filePath_.isEmpty()) {
        return true;
    }
    QMutexLocker lock(&mutex_);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    QByteArray content(kFileHeader);
    for (const QByteArray& line : netscapeLines()) {
        if (auto c = parseLine(line); c && !expired(*c, now)) {
            content += line + '\n';
        }
    }
    if (content == lastSaved_) {
        return true;
    }
    QDir().mkpath(QFileInfo(filePath_).absolutePath());
    QSaveFile file(filePath_);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(content) != content.size() || !file.commit()) {
        return false;
    }
    lastSaved_ = content;
    return true;
}

}  // namespace pelloran

#include "store/activity_database.h"

#include "store/store_file.h"
#include "store/store_lock.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <initializer_list>

namespace pelloran {

namespace {

// Another program writing (the app, a second run) holds the file this long at most.
constexpr int kBusyTimeoutMs = 10000;

// Each migration brings the file from the version before it to its own. Append new ones;
// never change one that has shipped: files out there went through it as it was.
struct Migration {
    int version;
    std::initializer_list<const char*> statements;
};
const Migration kMigrations[] = {
    {1,
     {"CREATE TABLE sent_torrents (id INTEGER PRIMARY KEY, info_hash TEXT NOT NULL, "
      "details_path TEXT NOT NULL, name TEXT NOT NULL, sent_at INTEGER NOT NULL)",
      "CREATE INDEX sent_torrents_by_hash ON sent_torrents (info_hash)",
      "CREATE INDEX sent_torrents_by_page ON sent_torrents (details_path)"}},
    {2,
     {"CREATE TABLE member_samples (id INTEGER PRIMARY KEY, taken_at INTEGER NOT NULL, "
      "ratio REAL, uploaded INTEGER NOT NULL, downloaded INTEGER NOT NULL)",
      "CREATE INDEX member_samples_by_time ON member_samples (taken_at)",
      "CREATE TABLE pushes (id INTEGER PRIMARY KEY, pushed_at INTEGER NOT NULL, "
      "name TEXT NOT NULL, details_path TEXT NOT NULL, info_hash TEXT NOT NULL, size INTEGER, "
      "client TEXT NOT NULL, options TEXT NOT NULL, result TEXT NOT NULL, "
      "failure TEXT NOT NULL, origin TEXT NOT NULL)",
      "CREATE INDEX pushes_by_time ON pushes (pushed_at)",
      // Small things a run remembers for the next one (the day the ratio guard last spoke).
      "CREATE TABLE run_state (name TEXT PRIMARY KEY, value TEXT NOT NULL)"}},
    {3,
     // What the member's client refused from the automatic push: not sent by it again.
     {"CREATE TABLE refused_torrents (id INTEGER PRIMARY KEY, details_path TEXT NOT NULL, "
      "name TEXT NOT NULL, refused_at INTEGER NOT NULL)",
      "CREATE INDEX refused_torrents_by_page ON refused_torrents (details_path)"}},
};

// SQLite's result codes that mean the file itself is unusable, not busy.
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteCantOpen = 14;
constexpr int kSqliteNotADatabase = 26;

QString sql(const char* text) {
    return QString::fromLatin1(text);
}

bool fileIsBroken(const QSqlError& error) {
    const int code = error.nativeErrorCode().toInt() & 0xff;  // the primary code
    return code == kSqliteCorrupt || code == kSqliteCantOpen || code == kSqliteNotADatabase;
}

QString describe(const QSqlError& error) {
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.isEmpty() ? QStringLiteral("unknown error") : text;
}

// One statement; on failure `problem` says why and `broken` whether the file is at fault.
bool run(QSqlQuery& query, const QString& statement, QString* problem, bool* broken = nullptr) {
    if (query.exec(statement)) {
        return true;
    }
    *problem = describe(query.lastError());
    if (broken) {
        *broken = fileIsBroken(query.lastError());
    }
    return false;
}

// A new file is made readable by its owner only before SQLite opens it; its -wal and -shm files
// take the same mode from it.
bool createIfMissing(const QString& path, QString* problem) {
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    if (errno == EEXIST) {
        return true;
    }
    *problem = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

// A number of the calling thread that no later thread gets again: a system thread id is reused
// once its thread ended, and Qt refuses a connection to any thread but the one that opened it.
quint64 threadToken() {
    static std::atomic<quint64> next{1};
    thread_local const quint64 token = next.fetch_add(1);
    return token;
}

QString connectionName(const void* owner, const char* role) {
    return QStringLiteral("pelloran-activity-%1-%2-%3")
        .arg(quintptr(owner), 0, 16)
        .arg(QString::fromLatin1(role))
        .arg(threadToken());
}

std::optional<bool> anyRow(QSqlQuery& query) {
    if (!query.exec()) {
        return std::nullopt;
    }
    return query.next();
}

}  // namespace

ActivityDatabase::ActivityDatabase(const QString& dataDirectory)
    : directory_(dataDirectory), filePath_(QDir(dataDirectory).filePath(fileName())) {}

ActivityDatabase::~ActivityDatabase() {
    QMutexLocker lock(&connectionsMutex_);
    for (const QString& name : std::as_const(connections_)) {
        QSqlDatabase::removeDatabase(name);
    }
}

int ActivityDatabase::currentSchemaVersion() {
    return std::end(kMigrations)[-1].version;
}

void ActivityDatabase::failed(const QString& what, const QString& problem) const {
    notices_.add({StoreNotice::Kind::NotSaved, filePath_, QString(),
                  QStringLiteral("The activity database %1 %2 (%3): pushes and member-bar "
                                 "figures are not recorded there.")
                      .arg(filePath_, what, problem)});
}

bool ActivityDatabase::openConnection(QSqlDatabase& db, QString* problem) const {
    db.setDatabaseName(filePath_);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db.open()) {
        *problem = describe(db.lastError());
        return false;
    }
    // Samples and push records are figures for the member's statistics: a power cut may cost
    // the last few, never the file (the journal keeps it whole), and no commit waits for the
    // disk. What must survive a cut says so where it is written (insertRow).
    QSqlQuery(db).exec(sql("PRAGMA synchronous=NORMAL"));
    return true;
}

bool ActivityDatabase::setAsideAndStartAfresh(const QString& problem) const {
    QString whyNot;
    const std::optional<QString> aside = moveAside(filePath_, &whyNot);
    if (!aside) {
        failed(QStringLiteral("could not be read (%1) nor set aside").arg(problem), whyNot);
        return false;
    }
    // The journal files belong to the file set aside, never to the new one.
    for (const char* suffix : {"-wal", "-shm"}) {
        const QString journal = filePath_ + QLatin1StringView(suffix);
        if (QFile::exists(journal)) {
            moveAside(journal, nullptr);
        }
    }
    notices_.add({StoreNotice::Kind::SetAside, filePath_, *aside,
                  QStringLiteral("The activity database %1 could not be read (%2). It was set "
                                 "aside as %3, and a new one was started.")
                      .arg(filePath_, problem, *aside)});
    return true;
}

bool ActivityDatabase::migrate(QSqlQuery& query, QString* problem, bool* broken) const {
    bool ok = run(query, sql("PRAGMA journal_mode=WAL"), problem, broken);
    // Two programs may start at once: one migrates, the other waits and finds it done.
    ok = ok && run(query, sql("BEGIN IMMEDIATE"), problem, broken);
    ok = ok && run(query, sql("PRAGMA user_version"), problem, broken) && query.next();
    const int version = ok ? query.value(0).toInt() : 0;
    for (const Migration& migration : kMigrations) {
        if (!ok || migration.version <= version) {
            continue;
        }
        for (const char* statement : migration.statements) {
            ok = ok && run(query, sql(statement), problem, broken);
        }
        ok = ok && run(query, QStringLiteral("PRAGMA user_version = %1").arg(migration.version),
                       problem, broken);
    }
    if (!ok) {
        query.exec(sql("ROLLBACK"));
        return false;
    }
    return run(query, sql("COMMIT"), problem, broken);
}

bool ActivityDatabase::prepareFile() const {
    QString problem;
    if (!ensurePrivateDirectory(directory_, &problem)) {
        failed(QStringLiteral("can't be created"), problem);
        return false;
    }
    // One program at a time checks, sets aside or migrates the file. Two that switched a new
    // file to WAL at once could each hold the lock the other needed: SQLite then answers one of
    // them "database is locked" at once, without waiting, and that program would record nothing
    // for its whole run.
    StoreLock preparing(filePath_ + QStringLiteral(".lock"), LockTiming{});
    if (!preparing.acquire(&problem)) {
        failed(QStringLiteral("can't be used"), problem);
        return false;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        bool broken = true;  // a file that can't even be opened is set aside too
        bool ok = createIfMissing(filePath_, &problem);
        // On success this stays open as the calling thread's connection: closing the last
        // connection checkpoints the journal, and opening again costs as much once more.
        const QString name = connectionName(this, "thread");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            ok = ok && openConnection(db, &problem);
            QSqlQuery query(db);
            // The file is checked once per process, before anything is written to it.
            ok = ok && run(query, sql("PRAGMA quick_check(1)"), &problem, &broken);
            if (ok && (!query.next() || query.value(0).toString() != QLatin1StringView("ok"))) {
                problem = QStringLiteral("it is damaged: %1").arg(query.value(0).toString());
                ok = false;
            }
            broken = broken || !ok;
            ok = ok && run(query, sql("PRAGMA user_version"), &problem, &broken) && query.next();
            // A current file needs no write lock: WAL was set when it was made.
            if (ok && query.value(0).toInt() < currentSchemaVersion()) {
                ok = migrate(query, &problem, &broken);
            }
            query.finish();
            if (ok) {
                QMutexLocker lock(&connectionsMutex_);
                connections_.insert(threadToken(), name);
                return true;
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        if (attempt > 0 || !broken) {
            failed(QStringLiteral("can't be used"), problem);
            return false;
        }
        if (!setAsideAndStartAfresh(problem)) {
            return false;
        }
    }
    return false;
}

std::optional<QSqlDatabase> ActivityDatabase::connection() const {
    const quint64 thread = threadToken();
    const auto opened = [&]() -> std::optional<QSqlDatabase> {
        QMutexLocker lock(&connectionsMutex_);
        if (const auto it = connections_.constFind(thread); it != connections_.constEnd()) {
            return QSqlDatabase::database(*it, false);
        }
        return std::nullopt;
    };
    if (std::optional<QSqlDatabase> db = opened()) {
        return db;
    }
    {
        QMutexLocker lock(&setupMutex_);
        if (!prepared_ && !unusable_) {
            prepared_ = prepareFile();
            unusable_ = !prepared_;
        }
        if (unusable_) {
            return std::nullopt;
        }
    }
    if (std::optional<QSqlDatabase> db = opened()) {
        return db;  // the first open's, kept by the thread that made it
    }
    const QString name = connectionName(this, "thread");
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    QString problem;
    if (!openConnection(db, &problem)) {
        failed(QStringLiteral("can't be opened"), problem);
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        return std::nullopt;
    }
    QMutexLocker lock(&connectionsMutex_);
    connections_.insert(thread, name);
    return db;
}

bool ActivityDatabase::openForThisThread() const {
    return connection().has_value();
}

std::optional<int> ActivityDatabase::schemaVersion() const {
    const std::optional<QSqlDatabase> db = connection();
    if (!db) {
        return std::nullopt;
    }
    QSqlQuery query(*db);
    if (!query.exec(sql("PRAGMA user_version")) || !query.next()) {
        return std::nullopt;
    }
    return query.value(0).toInt();
}

std::optional<bool> ActivityDatabase::anyRowWhere(const char* table, const char* condition,
                                                  const QString& value) const {
    const std::optional<QSqlDatabase> db = connection();
    if (!db) {
        return std::nullopt;
    }
    QSqlQuery query(*db);
    query.prepare(
        QStringLiteral("SELECT 1 FROM %1 WHERE %2 LIMIT 1").arg(sql(table), sql(condition)));
    query.addBindValue(value);
    return anyRow(query);
}

std::optional<bool> ActivityDatabase::wasSent(const QByteArray& infoHash) const {
    return anyRowWhere("sent_torrents", "info_hash = ?", QString::fromLatin1(infoHash.toLower()));
}

std::optional<bool> ActivityDatabase::wasSentFrom(const QString& detailsPath) const {
    return anyRowWhere("sent_torrents", "details_path = ?", detailsPath);
}

std::optional<bool> ActivityDatabase::wasRefusedFrom(const QString& detailsPath) const {
    return anyRowWhere("refused_torrents", "details_path = ?", detailsPath);
}

bool ActivityDatabase::insertRow(const char* statement, const QVariantList& values) {
    const std::optional<QSqlDatabase> db = connection();
    if (!db) {
        return false;
    }
    // These rows keep the automatic push from grabbing a torrent twice: their commit waits
    // until the disk has them.
    QSqlQuery(*db).exec(sql("PRAGMA synchronous=FULL"));
    QSqlQuery query(*db);
    query.prepare(sql(statement));
    for (const QVariant& value : values) {
        query.addBindValue(value);
    }
    const bool ok = query.exec();
    QSqlQuery(*db).exec(sql("PRAGMA synchronous=NORMAL"));
    if (!ok) {
        failed(QStringLiteral("could not be written"), describe(query.lastError()));
        return false;
    }
    notices_.saved();
    return true;
}

bool ActivityDatabase::recordRefused(const QString& detailsPath, const QString& name,
                                     const QDateTime& refusedAt) {
    return insertRow(
        "INSERT INTO refused_torrents (details_path, name, refused_at) VALUES (?, ?, ?)",
        {detailsPath, name, refusedAt.toMSecsSinceEpoch()});
}

bool ActivityDatabase::recordSent(const SentTorrent& sent) {
    return insertRow(
        "INSERT INTO sent_torrents (info_hash, details_path, name, sent_at) VALUES (?, ?, ?, ?)",
        {QString::fromLatin1(sent.infoHash.toLower()), sent.detailsPath, sent.name,
         sent.sentAt.toMSecsSinceEpoch()});
}

QList<SentTorrent> ActivityDatabase::sentTorrents() const {
    QList<SentTorrent> all;
    const std::optional<QSqlDatabase> db = connection();
    if (!db) {
        return all;
    }
    QSqlQuery query(*db);
    if (!query.exec(
            sql("SELECT info_hash, details_path, name, sent_at FROM sent_torrents ORDER BY id"))) {
        return all;
    }
    while (query.next()) {
        all.append({query.value(0).toString().toLatin1(), query.value(1).toString(),
                    query.value(2).toString(),
                    QDateTime::fromMSecsSinceEpoch(query.value(3).toLongLong(), Qt::UTC)});
    }
    return all;
}

}  // namespace pelloran

#pragma once
// The activity database: what Pelloran did while the member may not have watched, kept in one
// SQLite file beside settings.json ("activity.sqlite", readable by its owner only), through Qt
// SQL. It holds what the automatic push has sent, the member bar's figures over time and every
// push (activity_log.h); every table is added by one forward migration (the list in
// activity_database.cpp), and the file records which of them it has.
//
// Nothing touches the file until the first query, so a command that never asks pays nothing.
// Then: WAL mode, so readers never wait for a writer; a busy timeout, so the app and any number
// of pelloran-cli runs share the file; one connection per thread that asks. A file that can't be
// opened or is corrupt is set aside as "activity.sqlite.unreadable-DATE", a new one is started,
// and a notice says so once. When even that fails, queries answer as for an empty database,
// writes report failure, and a notice says why.
//
// Thread-safe: every method may be called from any thread (not from the UI thread for writes:
// they may wait for another process's write).

#include "store/store_notice.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>
#include <QVariant>
#include <optional>

class QSqlDatabase;
class QSqlQuery;

namespace pelloran {

// One torrent the automatic push sent (or found on the client already).
struct SentTorrent {
    QByteArray infoHash;  // 40 lowercase hex digits: the torrent's identity on every client
    QString detailsPath;  // its details page on the site, "/torrent/123/Slug"
    QString name;         // as the listing showed it
    QDateTime sentAt;     // UTC

    friend bool operator==(const SentTorrent&, const SentTorrent&) = default;
};

class ActivityDatabase {
public:
    // `dataDirectory`: the folder of settings.json. Opens nothing yet.
    explicit ActivityDatabase(const QString& dataDirectory);
    ~ActivityDatabase();  // closes every thread's connection
    ActivityDatabase(const ActivityDatabase&) = delete;
    ActivityDatabase& operator=(const ActivityDatabase&) = delete;

    QString filePath() const { return filePath_; }
    static QString fileName() { return QStringLiteral("activity.sqlite"); }

    // What the automatic push sent: whether a torrent of this info-hash, or from this details
    // page, is recorded; absent when the database can't be read.
    std::optional<bool> wasSent(const QByteArray& infoHash) const;
    std::optional<bool> wasSentFrom(const QString& detailsPath) const;
    // Records one; false (and a notice) when it could not be written.
    bool recordSent(const SentTorrent& sent);
    // Everything recorded, oldest first.
    QList<SentTorrent> sentTorrents() const;

    // What the member's client refused from the automatic push, by details page: whether one
    // is recorded (absent when the database can't be read), and recording one.
    std::optional<bool> wasRefusedFrom(const QString& detailsPath) const;
    bool recordRefused(const QString& detailsPath, const QString& name, const QDateTime& refusedAt);

    // The schema version this program writes, and the one the file holds (absent when it can't
    // be opened).
    static int currentSchemaVersion();
    std::optional<int> schemaVersion() const;

    QList<StoreNotice> takeNotices() { return notices_.take(); }
    bool hasNotSaved() const { return notices_.hasNotSaved(); }
    NoticeLog& notices() { return notices_; }

    // The calling thread's open connection, opening (and, the first time in this process,
    // checking, setting aside and migrating) the file as needed; absent when it can't be used.
    // For the record keepers of this folder (activity_log.h).
    std::optional<QSqlDatabase> connection() const;
    // connection() for a thread that only wants it ready before its first record.
    bool openForThisThread() const;
    // A write that failed: said once until a write works again (`wrote()`).
    void failed(const QString& what, const QString& problem) const;
    void wrote() const { notices_.saved(); }

private:
    // setupMutex_ held; on success the calling thread keeps the connection it checked with.
    bool prepareFile() const;
    // Brings the file to the current schema in one transaction.
    bool migrate(QSqlQuery& query, QString* problem, bool* broken) const;
    bool openConnection(QSqlDatabase& db, QString* problem) const;
    bool setAsideAndStartAfresh(const QString& problem) const;
    // Whether a sent_torrents row meets `condition` (one "?" bound to `value`).
    // One INSERT with its values bound in order; false (and a notice) when it failed.
    bool insertRow(const char* statement, const QVariantList& values);
    std::optional<bool> anyRowWhere(const char* table, const char* condition,
                                    const QString& value) const;

    const QString directory_;
    const QString filePath_;
    mutable NoticeLog notices_;
    mutable QMutex setupMutex_;  // the first open's checks and migrations
    mutable bool prepared_ = false;
    mutable bool unusable_ = false;
    mutable QMutex connectionsMutex_;
    mutable QHash<quint64, QString> connections_;  // thread (its token) -> connection name
};

}  // namespace pelloran

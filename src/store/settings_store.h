#pragma once
// The persistent key/value store behind every member choice: one JSON file, settings.json.
//
// Values keep their type: string, integer, or array of strings. Safe from any thread. Reads
// come from memory. The file is readable by its owner only (0600): it holds the member's
// passwords. Every write is durable and atomic (temporary file, sync, rename), so a reader,
// in this process or another, sees the old file or the new one, never a mix.
//
// The app and any number of pelloran-cli runs may use the same file at once. Every write is a
// read-modify-write under a lock file beside it (settings.json.lock): the file is read again
// when another process replaced it since this store last read or wrote it (one stat tells),
// this store's changes are applied over what it holds, and the result is written.
//  - setValue: last writer wins for that key. A flush writes only the keys set here since the
//    last write; every other key, including keys of shapes this store doesn't read, stays as
//    the file has it.
//  - updateStringList: the change runs on the file's current array and is written at once,
//    so entries other processes added or removed in the meantime are never lost.
// Other processes' writes show up here after this store's next write or refresh().
//
// A file that can't be read as settings is set aside (renamed, never overwritten) and the store
// starts empty; start-up never fails on it. What went wrong with the file is told once through
// takeNotices(). This store has no dependency inside the project, so every core layer may use it.

#include "store/background_writer.h"
#include "store/store_file.h"
#include "store/store_lock.h"
#include "store/store_notice.h"

#include <QAnyStringView>
#include <QHash>
#include <QJsonObject>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <variant>

namespace pelloran {

class SettingsStore {
public:
    using Value = std::variant<QString, qint64, QStringList>;

    // Reads `directory`/settings.json. The directory is created (0700) on the first write; an
    // existing one is never changed.
    explicit SettingsStore(const QString& directory, LockTiming lockTiming = {});

    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    std::optional<Value> value(QAnyStringView key) const;
    // Typed reads: absent when the key is missing or holds another type.
    std::optional<QString> string(QAnyStringView key) const;
    std::optional<qint64> integer(QAnyStringView key) const;
    std::optional<QStringList> stringList(QAnyStringView key) const;

    // Kept in memory until the next flush().
    void setValue(QAnyStringView key, const Value& value);
    // Deletes the key (it reads as absent at once); the file loses it at the next flush().
    // Only for keys whose value moved elsewhere: the member's choices are never deleted.
    void remove(QAnyStringView key);

    // Read-modify-write of one array against the file, under the cross-process lock, written
    // at once together with any other change not flushed yet. `change` gets the current array
    // (empty when absent). When the file can't be written, the change stays in memory for the
    // next flush and a notice says so.
    void updateStringList(QAnyStringView key, const std::function<void(QStringList&)>& change);

    // Makes every earlier write durable. True when nothing was waiting or the file now holds
    // it; false when it could not be written (a notice says why; the changes stay in memory
    // and the next flush tries again).
    bool flush();
    // flush() on a thread of its own, returning at once: for the UI thread, which must never
    // wait for the disk (a synced write takes milliseconds, and far more on a busy disk). Calls
    // made while one runs are folded into one more flush. What it could not write stays for
    // the next flush, and a notice says so, as with flush().
    void flushInBackground();

    // Reads the file again when another process replaced it (otherwise one stat). True when
    // values changed. Changes of this store not flushed yet are kept over the file's.
    bool refresh();

    // Changes made here that the file doesn't hold yet (a flush or update could not write).
    bool hasUnsavedChanges() const;

    QString filePath() const { return filePath_; }
    // Where an unreadable file was moved; empty when nothing was moved.
    QString movedAsidePath() const;

    // What the member should be told about the file (set aside, not saved), each once.
    QList<StoreNotice> takeNotices() { return notices_.take(); }
    NoticeLog& notices() { return notices_; }

private:
    enum class Adopt { Loaded, Unchanged, Broken };
    // Re-reads the file when it changed since seen_. With the lock held, a broken file is set
    // aside; without it, it is left for the next locked step. Needs fileMutex_.
    Adopt syncWithFile(bool haveLock);
    void adopt(QJsonObject disk);
    bool writeLocked();
    void notSaved(const QString& why);

    QString directory_;
    QString filePath_;
    QString lockPath_;
    LockTiming lockTiming_;
    NoticeLog notices_;

    mutable QMutex mutex_;           // guards values_, pending_, removed_, movedAside_
    QHash<QString, Value> values_;   // what readers see: the file plus pending_, less removed_
    QHash<QString, Value> pending_;  // set here and not written yet
    QSet<QString> removed_;          // removed here and not written yet
    QString movedAside_;

    QMutex fileMutex_;       // one file step at a time in this process; guards the fields below
    QJsonObject disk_;       // the file's object as last read or written
    PinnedStamp seen_;       // the file disk_ came from
    bool blocked_ = false;   // unreadable and could not be set aside: never written over
    QString brokenProblem_;  // why the file last found unreadable was

    // Last: it goes first, waiting for a write in progress that uses the fields above.
    BackgroundWriter writer_{[this] { flush(); }};
};

}  // namespace pelloran

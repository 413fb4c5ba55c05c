#pragma once
// The persistent key/value store behind every member choice: one JSON file, settings.json.
//
// Values keep their type: string, integer, or array of strings. Safe from any thread (one
// mutex). flush() is durable and atomic: the file is written to a temporary, synced and
// renamed, so a crash leaves either the old or the new file. The file is readable by its owner
// only (0600): it holds the member's passwords. A file that can't be read as settings is moved
// aside and the store starts empty; start-up never fails on it.
//
// This store has no dependency inside the project, so every core layer may use it.

#include <QAnyStringView>
#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <variant>

namespace pelloran {

class SettingsStore {
public:
    using Value = std::variant<QString, qint64, QStringList>;

    // Reads `directory`/settings.json. The directory is created (0700) on the first flush.
    explicit SettingsStore(const QString& directory);

    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    std::optional<Value> value(QAnyStringView key) const;
    // Typed reads: absent when the key is missing or holds another type.
    std::optional<QString> string(QAnyStringView key) const;
    std::optional<qint64> integer(QAnyStringView key) const;
    std::optional<QStringList> stringList(QAnyStringView key) const;

    void setValue(QAnyStringView key, const Value& value);

    // Read-modify-write of one array under the store's lock, so that concurrent writers never
    // lose each other's changes. `change` gets the current array (empty when absent).
    void updateStringList(QAnyStringView key, const std::function<void(QStringList&)>& change);

    // Makes every earlier write durable. False when the file could not be written.
    bool flush();

    QString filePath() const { return filePath_; }
    // Where a corrupt file was moved at start-up; empty when nothing was moved.
    QString movedAsidePath() const { return movedAside_; }

private:
    void load();

    QString directory_;
    QString filePath_;
    QString movedAside_;
    mutable QMutex mutex_;  // guards values_
    QMutex writeMutex_;     // serialises flushes so the newest snapshot is written last
    QHash<QString, Value> values_;
};

}  // namespace pelloran

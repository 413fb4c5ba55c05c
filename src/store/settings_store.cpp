#include "store/settings_store.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>

namespace pelloran {

namespace {

constexpr qint64 kMaxSettingsFileSize = qint64(16) * 1024 * 1024;

std::optional<SettingsStore::Value> fromJson(const QJsonValue& json) {
    if (json.isString()) {
        return SettingsStore::Value(json.toString());
    }
    if (json.isDouble()) {
        const double d = json.toDouble();
        // Out of qint64's range a conversion is undefined: such a number is no setting.
        if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0)) {
            return std::nullopt;
        }
        const auto i = static_cast<qint64>(d);
        if (static_cast<double>(i) == d) {
            return SettingsStore::Value(i);
        }
        return std::nullopt;
    }
    if (json.isArray()) {
        QStringList list;
        for (const auto& element : json.toArray()) {
            if (!element.isString()) {
                return std::nullopt;
            }
            list.append(element.toString());
        }
        return SettingsStore::Value(list);
    }
    return std::nullopt;
}

QJsonValue toJson(const SettingsStore::Value& value) {
    if (const auto* s = std::get_if<QString>(&value)) {
        return *s;
    }
    if (const auto* i = std::get_if<qint64>(&value)) {
        return static_cast<double>(*i);
    }
    return QJsonArray::fromStringList(std::get<QStringList>(value));
}

QString unreadableText(const QString& file, const QString& problem, const QString& whyNot) {
    return QStringLiteral(
               "The settings file %1 could not be read (%2) nor set aside (%3). "
               "Changes to the settings are not saved, so that it is not overwritten.")
        .arg(file, problem, whyNot);
}

}  // namespace

SettingsStore::SettingsStore(const QString& directory, LockTiming lockTiming)
    : directory_(directory),
      filePath_(QDir(directory).filePath(QStringLiteral("settings.json"))),
      lockPath_(filePath_ + QStringLiteral(".lock")),
      lockTiming_(lockTiming) {
    QMutexLocker fileLock(&fileMutex_);
    if (syncWithFile(false) == Adopt::Broken) {
        // Setting the file aside needs the lock: another process may be replacing it with a
        // good one right now. Without the lock it waits for the next write, which takes it.
        StoreLock lock(lockPath_, lockTiming_);
        QString whyNot;
        if (lock.acquire(&whyNot)) {
            syncWithFile(true);
        } else {
            blocked_ = true;
            notices_.add({StoreNotice::Kind::NotSaved, filePath_, QString(),
                          unreadableText(filePath_, brokenProblem_, whyNot)});
        }
    }
}

SettingsStore::Adopt SettingsStore::syncWithFile(bool haveLock) {
    if (seen_.matches(filePath_)) {
        return Adopt::Unchanged;
    }
    StoreFileRead read = readStoreFile(filePath_, kMaxSettingsFileSize);
    QString problem = read.problem;
    if (read.status == StoreFileRead::Status::Missing) {
        seen_ = std::move(read.stamp);
        blocked_ = false;
        adopt({});
        return Adopt::Loaded;
    }
    if (read.status == StoreFileRead::Status::Read) {
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(read.content, &error);
        if (error.error == QJsonParseError::NoError && doc.isObject()) {
            seen_ = std::move(read.stamp);
            blocked_ = false;
            adopt(doc.object());
            return Adopt::Loaded;
        }
        problem = error.error != QJsonParseError::NoError
                      ? QStringLiteral("it is not valid JSON: %1").arg(error.errorString())
                      : QStringLiteral("it does not hold an object of settings");
    }
    seen_ = PinnedStamp();  // unknown: read again at the next step
    brokenProblem_ = problem;
    if (!haveLock) {
        return Adopt::Broken;
    }
    QString whyNot;
    if (const std::optional<QString> aside = moveAside(filePath_, &whyNot)) {
        {
            QMutexLocker lock(&mutex_);
            movedAside_ = *aside;
        }
        // Broken while this store ran (another program wrote it): what was read from it before
        // is kept and written back with the next change.
        notices_.add({StoreNotice::Kind::SetAside, filePath_, *aside,
                      QStringLiteral("The settings file %1 could not be read (%2). It was set "
                                     "aside as %3, and %4.")
                          .arg(filePath_, problem, *aside,
                               disk_.isEmpty()
                                   ? QStringLiteral("the settings start empty")
                                   : QStringLiteral("the settings read from it before are kept"))});
        seen_ = PinnedStamp::absent();
        blocked_ = false;
        return Adopt::Loaded;
    }
    blocked_ = true;
    notices_.add({StoreNotice::Kind::NotSaved, filePath_, QString(),
                  unreadableText(filePath_, problem, whyNot)});
    return Adopt::Broken;
}

void SettingsStore::adopt(QJsonObject disk) {
    disk_ = std::move(disk);
    QHash<QString, Value> values;
    for (auto it = disk_.constBegin(); it != disk_.constEnd(); ++it) {
        if (std::optional<Value> value = fromJson(it.value())) {
            values.insert(it.key(), *value);
        }
    }
    QMutexLocker lock(&mutex_);
    for (auto it = pending_.constBegin(); it != pending_.constEnd(); ++it) {
        values.insert(it.key(), it.value());
    }
    for (const QString& key : std::as_const(removed_)) {
        values.remove(key);
    }
    values_ = std::move(values);
}

bool SettingsStore::writeLocked() {
    QHash<QString, Value> written;
    QSet<QString> removed;
    {
        QMutexLocker lock(&mutex_);
        written = pending_;
        removed = removed_;
    }
    if (written.isEmpty() && removed.isEmpty()) {
        return true;
    }
    QJsonObject merged = disk_;
    for (auto it = written.constBegin(); it != written.constEnd(); ++it) {
        merged.insert(it.key(), toJson(it.value()));
    }
    for (const QString& key : std::as_const(removed)) {
        merged.remove(key);
    }
    QString problem;
    if (!writePrivateFile(filePath_, QJsonDocument(merged).toJson(QJsonDocument::Indented),
                          &problem)) {
        notSaved(problem);
        return false;
    }
    disk_ = std::move(merged);
    seen_ = PinnedStamp::of(filePath_);
    {
        // A key set again while the file was written stays pending with its newer value.
        QMutexLocker lock(&mutex_);
        for (auto it = written.constBegin(); it != written.constEnd(); ++it) {
            const auto now = pending_.constFind(it.key());
            if (now != pending_.constEnd() && now.value() == it.value()) {
                pending_.remove(it.key());
            }
        }
        // A key set again meanwhile left removed_ (setValue), so it is not lost here.
        for (const QString& key : std::as_const(removed)) {
            removed_.remove(key);
        }
    }
    notices_.saved();
    return true;
}

void SettingsStore::notSaved(const QString& why) {
    notices_.add(
        {StoreNotice::Kind::NotSaved, filePath_, QString(),
         QStringLiteral("The settings could not be saved in %1 (%2).").arg(filePath_, why)});
}

std::optional<SettingsStore::Value> SettingsStore::value(QAnyStringView key) const {
    QMutexLocker lock(&mutex_);
    auto it = values_.constFind(key.toString());
    if (it == values_.constEnd()) {
        return std::nullopt;
    }
    return it.value();
}

std::optional<QString> SettingsStore::string(QAnyStringView key) const {
    auto v = value(key);
    if (v) {
        if (const auto* s = std::get_if<QString>(&*v)) {
            return *s;
        }
    }
    return std::nullopt;
}

std::optional<qint64> SettingsStore::integer(QAnyStringView key) const {
    auto v = value(key);
    if (v) {
        if (const auto* i = std::get_if<qint64>(&*v)) {
            return *i;
        }
    }
    return std::nullopt;
}

std::optional<QStringList> SettingsStore::stringList(QAnyStringView key) const {
    auto v = value(key);
    if (v) {
        if (const auto* l = std::get_if<QStringList>(&*v)) {
            return *l;
        }
    }
    return std::nullopt;
}

bool SettingsStore::hasUnsavedChanges() const {
    QMutexLocker lock(&mutex_);
    return !pending_.isEmpty() || !removed_.isEmpty();
}

QString SettingsStore::movedAsidePath() const {
    QMutexLocker lock(&mutex_);
    return movedAside_;
}

void SettingsStore::setValue(QAnyStringView key, const Value& value) {
    QMutexLocker lock(&mutex_);
    const QString k = key.toString();
    values_.insert(k, value);
    pending_.insert(k, value);
    removed_.remove(k);
}

void SettingsStore::remove(QAnyStringView key) {
    QMutexLocker lock(&mutex_);
    const QString k = key.toString();
    values_.remove(k);
    pending_.remove(k);
    removed_.insert(k);
}

void SettingsStore::updateStringList(QAnyStringView key,
                                     const std::function<void(QStringList&)>& change) {
    QMutexLocker fileLock(&fileMutex_);
    QString problem;
    std::optional<StoreLock> lock;
    bool locked = ensurePrivateDirectory(directory_, &problem);
    if (locked) {
        lock.emplace(lockPath_, lockTiming_);
        locked = lock->acquire(&problem);
    }
    if (locked) {
        syncWithFile(true);
    }
    {
        QMutexLocker valuesLock(&mutex_);
        const QString k = key.toString();
        QStringList list;
        auto it = values_.constFind(k);
        if (it != values_.constEnd()) {
            if (const auto* l = std::get_if<QStringList>(&it.value())) {
                list = *l;
            }
        }
        change(list);
        values_.insert(k, list);
        pending_.insert(k, list);
        removed_.remove(k);
    }
    if (!locked) {
        notSaved(problem);
    } else if (!blocked_) {
        writeLocked();
    }
}

void SettingsStore::flushInBackground() {
    writer_.request();
}

bool SettingsStore::flush() {
    QMutexLocker fileLock(&fileMutex_);
    {
        QMutexLocker lock(&mutex_);
        if (pending_.isEmpty() && removed_.isEmpty()) {
            return true;
        }
    }
    QString problem;
    if (!ensurePrivateDirectory(directory_, &problem)) {
        notSaved(problem);
        return false;
    }
    StoreLock lock(lockPath_, lockTiming_);
    if (!lock.acquire(&problem)) {
        notSaved(problem);
        return false;
    }
    syncWithFile(true);
    return !blocked_ && writeLocked();
}

bool SettingsStore::refresh() {
    QMutexLocker fileLock(&fileMutex_);
    return syncWithFile(false) == Adopt::Loaded;
}

}  // namespace pelloran

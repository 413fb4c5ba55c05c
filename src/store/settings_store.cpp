#include "store/settings_store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <fcntl.h>
#include <unistd.h>

namespace pelloran {

namespace {

constexpr qint64 kMaxSettingsFileSize = 16 * 1024 * 1024;

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
        for (const QJsonValue& element : json.toArray()) {
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

// A rename is only durable once the directory entry itself reaches the disk.
void syncDirectory(const QString& directory) {
    const int fd = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

SettingsStore::SettingsStore(const QString& directory)
    : directory_(directory), filePath_(QDir(directory).filePath(QStringLiteral("settings.json"))) {
    load();
}

void SettingsStore::load() {
    QFile file(filePath_);
    if (!file.exists()) {
        return;
    }
    bool good = false;
    if (file.size() <= kMaxSettingsFileSize && file.open(QIODevice::ReadOnly)) {
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
        file.close();
        if (error.error == QJsonParseError::NoError && doc.isObject()) {
            good = true;
            const QJsonObject root = doc.object();
            for (auto it = root.begin(); it != root.end(); ++it) {
                if (auto value = fromJson(it.value())) {
                    values_.insert(it.key(), *value);
                }
            }
        }
    }
    if (!good) {
        // Keep the unreadable file for the member (or a developer) to look at, and start empty.
        const QString aside =
            filePath_ + QStringLiteral(".corrupt-") +
            QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss"));
        if (QFile::rename(filePath_, aside)) {
            movedAside_ = aside;
        }
    }
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

void SettingsStore::setValue(QAnyStringView key, const Value& value) {
    QMutexLocker lock(&mutex_);
    values_.insert(key.toString(), value);
}

void SettingsStore::updateStringList(QAnyStringView key,
                                     const std::function<void(QStringList&)>& change) {
    QMutexLocker lock(&mutex_);
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
}

bool SettingsStore::flush() {
    QMutexLocker writeLock(&writeMutex_);
    QJsonObject root;
    {
        QMutexLocker lock(&mutex_);
        for (auto it = values_.constBegin(); it != values_.constEnd(); ++it) {
            root.insert(it.key(), toJson(it.value()));
        }
    }
    if (!QDir().mkpath(directory_)) {
        return false;
    }
    QFile::setPermissions(directory_,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QSaveFile file(filePath_);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    // Restrict the temporary file before any secret is written into it.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Indented);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {  // syncs the temporary file, then renames it over the old one
        return false;
    }
    syncDirectory(directory_);
    return true;
}

}  // namespace pelloran

#include "remote/push_options.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace pelloran {

namespace {

const QString kCategoryKey = QStringLiteral("category");
const QString kTagsKey = QStringLiteral("tags");
const QString kSavePathKey = QStringLiteral("savePath");
const QString kPausedKey = QStringLiteral("paused");

bool asks(const PushOptions& options, PushOption option) {
    switch (option) {
        case PushOption::Category:
            return options.asksCategory();
        case PushOption::Tags:
            return options.asksTags();
        case PushOption::SavePath:
            return options.asksSavePath();
        case PushOption::Paused:
            return options.paused.has_value();
    }
    return false;
}

// "a", "a or b", "a, b or c".
QString inWords(const QStringList& words, const QString& last) {
    if (words.size() < 2) {
        return words.value(0);
    }
    return words.mid(0, words.size() - 1).join(QStringLiteral(", ")) + QLatin1Char(' ') + last +
           QLatin1Char(' ') + words.last();
}

}  // namespace

PushOptions PushOptions::over(const PushOptions& base) const {
    PushOptions merged = base;
    if (category) {
        merged.category = category;
    }
    if (tags) {
        merged.tags = tags;
    }
    if (savePath) {
        merged.savePath = savePath;
    }
    if (paused) {
        merged.paused = paused;
    }
    return merged;
}

bool PushOptionSupport::supports(PushOption option) const {
    switch (option) {
        case PushOption::Category:
            return category;
        case PushOption::Tags:
            return tags;
        case PushOption::SavePath:
            return savePath;
        case PushOption::Paused:
            return paused;
    }
    return false;
}

QList<PushOption> unsupportedOptions(const PushOptionSupport& support, const PushOptions& options) {
    QList<PushOption> missing;
    for (const PushOption option :
         {PushOption::Category, PushOption::Tags, PushOption::SavePath, PushOption::Paused}) {
        if (asks(options, option) && !support.supports(option)) {
            missing.append(option);
        }
    }
    return missing;
}

QString optionWord(const PushOptionSupport& support, PushOption option) {
    switch (option) {
        case PushOption::Category:
            return QString(support.categoryWord);
        case PushOption::Tags:
            return QString(support.tagsWord);
        case PushOption::SavePath:
            return QStringLiteral("save path");
        case PushOption::Paused:
            return QStringLiteral("start paused");
    }
    return QString();
}

QString unsupportedOptionsMessage(const QString& clientName, const PushOptionSupport& support,
                                  const PushOptions& options) {
    QStringList words;
    for (const PushOption option : unsupportedOptions(support, options)) {
        words.append(optionWord(support, option));
    }
    if (words.isEmpty()) {
        return QString();
    }
    return QStringLiteral("%1 has no %2.").arg(clientName, inWords(words, QStringLiteral("or")));
}

QStringList splitTags(const QString& text) {
    QStringList tags;
    for (const QString& piece : text.split(QLatin1Char(','))) {
        const QString tag = piece.trimmed();
        if (!tag.isEmpty() && !tags.contains(tag)) {
            tags.append(tag);
        }
    }
    return tags;
}

std::optional<bool> onOffValue(const QString& text) {
    if (text == QLatin1StringView("on")) {
        return true;
    }
    if (text == QLatin1StringView("off")) {
        return false;
    }
    return std::nullopt;
}

QString onOffText(bool on) {
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

QString describePushOptions(const PushOptions& options, const PushOptionSupport& support) {
    QStringList parts;
    if (options.category) {
        parts.append(options.category->isEmpty()
                         ? QStringLiteral("no %1").arg(support.categoryWord)
                         : QStringLiteral("%1 %2").arg(support.categoryWord, *options.category));
    }
    if (options.tags) {
        parts.append(options.tags->isEmpty()
                         ? QStringLiteral("no %1").arg(support.tagsWord)
                         : QStringLiteral("%1 %2").arg(support.tagsWord,
                                                       options.tags->join(QStringLiteral(", "))));
    }
    if (options.savePath) {
        parts.append(options.savePath->isEmpty()
                         ? QStringLiteral("default save path")
                         : QStringLiteral("save path %1").arg(*options.savePath));
    }
    if (options.paused) {
        parts.append(*options.paused ? QStringLiteral("paused") : QStringLiteral("started"));
    }
    return parts.join(QStringLiteral("; "));
}

QJsonObject pushOptionsToJson(const PushOptions& options) {
    QJsonObject object;
    if (options.category) {
        object.insert(kCategoryKey, *options.category);
    }
    if (options.tags) {
        object.insert(kTagsKey, QJsonArray::fromStringList(*options.tags));
    }
    if (options.savePath) {
        object.insert(kSavePathKey, *options.savePath);
    }
    if (options.paused) {
        object.insert(kPausedKey, *options.paused);
    }
    return object;
}

PushOptions pushOptionsFromJson(const QJsonObject& object) {
    PushOptions options;
    if (const QJsonValue v = object.value(kCategoryKey); v.isString()) {
        options.category = v.toString();
    }
    if (const QJsonValue v = object.value(kTagsKey); v.isArray()) {
        QStringList tags;
        for (const QJsonValue& tag : v.toArray()) {
            if (tag.isString()) {
                tags.append(tag.toString());
            }
        }
        options.tags = tags;
    }
    if (const QJsonValue v = object.value(kSavePathKey); v.isString()) {
        options.savePath = v.toString();
    }
    if (const QJsonValue v = object.value(kPausedKey); v.isBool()) {
        options.paused = v.toBool();
    }
    return options;
}

QString pushOptionsText(const PushOptions& options) {
    if (options.isEmpty()) {
        return QString();
    }
    return QString::fromUtf8(
        QJsonDocument(pushOptionsToJson(options)).toJson(QJsonDocument::Compact));
}

}  // namespace pelloran

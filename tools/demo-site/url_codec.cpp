#include "url_codec.h"

#include <QUrl>

namespace pelloran::demo {

QString percentDecode(QStringView raw) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(raw.toUtf8()));
}

QString formDecode(QStringView raw) {
    QByteArray bytes = raw.toUtf8();
    bytes.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(bytes));
}

FormFields parseForm(QStringView body) {
    FormFields fields;
    for (QStringView pair : body.split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(u'=');
        if (eq < 0) {
            fields.append({formDecode(pair), QString()});
        } else {
            fields.append({formDecode(pair.left(eq)), formDecode(pair.mid(eq + 1))});
        }
    }
    return fields;
}

std::optional<QString> formValue(const FormFields& fields, const QString& name) {
    for (const auto& [key, value] : fields) {
        if (key == name) {
            return value;
        }
    }
    return std::nullopt;
}

QString percentEncodePath(const QString& text) {
    return QString::fromLatin1(QUrl::toPercentEncoding(text, "/"));
}

std::optional<QString> cookieValue(QStringView cookieHeader, QStringView name) {
    for (QStringView part : cookieHeader.split(u';', Qt::SkipEmptyParts)) {
        part = part.trimmed();
        const qsizetype eq = part.indexOf(u'=');
        if (eq > 0 && part.left(eq).trimmed() == name) {
            return part.mid(eq + 1).trimmed().toString();
        }
    }
    return std::nullopt;
}

std::optional<int> leadingNumber(QStringView text) {
    qsizetype end = 0;
    while (end < text.size() && end < 9 && text[end].isDigit() && text[end].unicode() < 128) {
        ++end;
    }
    if (end == 0) {
        return std::nullopt;
    }
    return text.left(end).toInt();
}

}  // namespace pelloran::demo

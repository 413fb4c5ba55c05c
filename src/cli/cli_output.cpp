#include "cli/cli_output.h"

#include "cli/json_rows.h"
#include "cli/stop_signals.h"

#include <QJsonDocument>
#include <QTextStream>
#include <cstdio>
#include <iostream>
#include <string>

#include <unistd.h>

namespace pelloran::cli {

namespace {

bool isWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF) ||
           (c >= 0x20000 && c <= 0x3FFFD);
}

int columnsOf(char32_t c) {
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
        return 0;
    }
    if (QChar::category(c) == QChar::Mark_NonSpacing ||
        QChar::category(c) == QChar::Mark_Enclosing) {
        return 0;
    }
    return isWide(c) ? 2 : 1;
}

QString field(const std::optional<QString>& value) {
    return value.value_or(QString());
}

// Table lines are padded column by column; the padding after the last column is dropped.
QString joinLines(const QStringList& lines) {
    QStringList trimmed;
    for (const QString& line : lines) {
        qsizetype end = line.size();
        while (end > 0 && line[end - 1] == QLatin1Char(' ')) {
            --end;
        }
        trimmed.append(line.left(end));
    }
    return trimmed.join(QLatin1Char('\n'));
}

// Control characters from a page never reach the terminal as they are.
QString printable(QString text) {
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            c = QLatin1Char(' ');
        }
    }
    return text;
}

}  // namespace

void printOut(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void printError(const QString& title, const QString& message) {
    std::fprintf(stderr, "%s\n", title.toUtf8().constData());
    if (!message.isEmpty()) {
        std::fprintf(stderr, "%s\n", message.toUtf8().constData());
    }
    std::fflush(stderr);
}

int usageError(const QString& message) {
    std::fprintf(stderr, "pelloran-cli: %s\nTry 'pelloran-cli --help'.\n",
                 message.toUtf8().constData());
    return 2;
}

int displayWidth(const QString& text) {
    int width = 0;
    for (const char32_t c : text.toUcs4()) {
        width += columnsOf(c);
    }
    return width;
}

QString fitColumn(const QString& text, int width, bool alignRight) {
    const QString clean = printable(text);
    if (displayWidth(clean) <= width) {
        const QString pad(width - displayWidth(clean), QLatin1Char(' '));
        return alignRight ? pad + clean : clean + pad;
    }
    QString cut;
    int used = 0;
    for (const char32_t c : clean.toUcs4()) {
        const int w = columnsOf(c);
        if (used + w > width - 1) {
            break;
        }
        cut += QString::fromUcs4(&c, 1);
        used += w;
    }
    cut += QChar(0x2026);  // …
    return cut + QString(width - used - 1, QLatin1Char(' '));
}

QString torrentTable(const TorrentList& torrents) {
    // 4 + 1 + 1 + 1 + 47 + 1 + 10 + 1 + 6 + 1 + 6 + 1 + 19 = 99 columns, inside 100.
    QStringList lines;
    lines.append(fitColumn(QStringLiteral("#"), 4, true) + QStringLiteral("   ") +
                 fitColumn(QStringLiteral("Name"), 47) + QLatin1Char(' ') +
                 fitColumn(QStringLiteral("Size"), 10, true) + QLatin1Char(' ') +
                 fitColumn(QStringLiteral("Seed"), 6, true) + QLatin1Char(' ') +
                 fitColumn(QStringLiteral("Leech"), 6, true) + QLatin1Char(' ') +
                 fitColumn(QStringLiteral("Date"), 19));
    for (qsizetype i = 0; i < torrents.size(); ++i) {
        const TorrentPtr& t = torrents[i];
        lines.append(fitColumn(QString::number(i), 4, true) + QLatin1Char(' ') +
                     (t->isDownloaded() ? QLatin1Char('*') : QLatin1Char(' ')) + QLatin1Char(' ') +
                     fitColumn(field(t->name()), 47) + QLatin1Char(' ') +
                     fitColumn(field(t->size()), 10, true) + QLatin1Char(' ') +
                     fitColumn(field(t->up()), 6, true) + QLatin1Char(' ') +
                     fitColumn(field(t->down()), 6, true) + QLatin1Char(' ') +
                     fitColumn(field(t->date()), 19));
    }
    return joinLines(lines);
}

QString snatchTable(const TorrentList& torrents) {
    // 4 + 1 + 44 + 1 + 10 + 1 + 10 + 1 + 10 + 1 + 6 + 1 + 8 = 98 columns.
    QStringList lines;
    lines.append(fitColumn(QStringLiteral("#"), 4, true) + QLatin1Char(' ') +
                 fitColumn(QStringLiteral("Name"), 44) + QLatin1Char(' ') +
                 fitColumn(QStringLiteral("Size"), 10, true) + QLatin1Char(' ') +
                 fitColumn(QStringLiteral("Up"), 10, true) + QLatin1Char(' ') +
                 fitColumn(QStringLiteral("Down"), 10, true) + QLatin1Char(' ') +
                 fitColumn(QStringLiteral("Active"), 6, true) + QLatin1Char(' ') +
                 fitColumn(QStringLiteral("Ratio"), 8, true));
    for (qsizetype i = 0; i < torrents.size(); ++i) {
        const TorrentPtr& t = torrents[i];
        lines.append(fitColumn(QString::number(i), 4, true) + QLatin1Char(' ') +
                     fitColumn(field(t->name()), 44) + QLatin1Char(' ') +
                     fitColumn(field(t->size()), 10, true) + QLatin1Char(' ') +
                     fitColumn(field(t->up()), 10, true) + QLatin1Char(' ') +
                     fitColumn(field(t->down()), 10, true) + QLatin1Char(' ') +
                     fitColumn(field(t->active()), 6, true) + QLatin1Char(' ') +
                     fitColumn(field(t->ratio()), 8, true));
    }
    return joinLines(lines);
}

void printTorrentsJson(const TorrentList& torrents) {
    writeTorrentsJson(torrents, [](const QByteArray& text) {
        std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    });
    std::fflush(stdout);
}

QJsonObject userInfoJson(const UserInfo& info) {
    QJsonObject o;
    const auto put = [&o](const char* key, const std::optional<QString>& value) {
        if (value) {
            o.insert(QLatin1StringView(key), *value);
        }
    };
    put("ids", info.ids());
    put("username", info.username());
    put("ratio", info.ratio());
    put("uploaded", info.uploaded());
    put("downloaded", info.downloaded());
    return o;
}

QString jsonText(const QJsonArray& array) {
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)).trimmed();
}

QString jsonText(const QJsonObject& object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)).trimmed();
}

ProgressLine::ProgressLine() : enabled_(::isatty(STDERR_FILENO) == 1) {}

ProgressLine::~ProgressLine() {
    if (shown_) {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
    }
}

void ProgressLine::show(const QString& text) {
    if (!enabled_) {
        return;
    }
    std::fprintf(stderr, "\r\033[K%s", text.toUtf8().constData());
    std::fflush(stderr);
    shown_ = true;
}

QString readSecretLine() {
    std::string line;
    {
        // Nothing cancels a read of stdin: Ctrl+C there ends the process at once, as ever.
        const StopSignals::DefaultAction byDefault;
        std::getline(std::cin, line);
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return QString::fromStdString(line);
}

}  // namespace pelloran::cli

// The streamed JSON list must stay byte for byte what the whole-document writer printed, for
// any text a page can hold.

#include "cli/json_rows.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace pelloran::cli {
namespace {

// The list as it was printed before it was streamed: one QJsonDocument of the whole list.
QByteArray documentText(const TorrentList& torrents) {
    QJsonArray array;
    for (const TorrentPtr& t : torrents) {
        QJsonObject o;
        const auto put = [&o](const char* key, const std::optional<QString>& value) {
            if (value) {
                o.insert(QLatin1StringView(key), *value);
            }
        };
        put("name", t->name());
        put("detailsUrl", t->detailsUrl());
        put("downloadUrl", t->downloadUrl());
        put("type", t->type());
        put("size", t->size());
        put("up", t->up());
        put("down", t->down());
        put("date", t->date());
        put("ratio", t->ratio());
        put("active", t->active());
        o.insert(QStringLiteral("isDownloaded"), t->isDownloaded());
        array.append(o);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented).trimmed() + '\n';
}

QByteArray streamedText(const TorrentList& torrents) {
    QByteArray out;
    int pieces = 0;
    writeTorrentsJson(torrents, [&](const QByteArray& piece) {
        out += piece;
        ++pieces;
    });
    EXPECT_GE(pieces, torrents.size());  // written row by row, not as one piece at the end
    return out;
}

TorrentPtr fullRow(const QString& name, bool downloaded) {
    TorrentFields f;
    f.name = name;
    f.detailsUrl = QStringLiteral("https://site.example/details.php?id=7&hit=1");
    f.downloadUrl = QStringLiteral("https://site.example/download.php/7/a b.torrent");
    f.type = QStringLiteral("Movies/HD");
    f.size = QStringLiteral("1.37 GB");
    f.up = QStringLiteral("12");
    f.down = QStringLiteral("0");
    f.date = QStringLiteral("2026-12-01 10:00:00");
    f.ratio = QStringLiteral("1.250");
    f.active = QStringLiteral("Yes");
    f.isDownloaded = downloaded;
    return std::make_shared<Torrent>(std::move(f));
}

TEST(CliJsonRows, PinnedFormat) {
    TorrentFields f;
    f.name = QStringLiteral("A \"b\"");
    f.size = QString();
    EXPECT_EQ(streamedText({std::make_shared<Torrent>(std::move(f))}),
              QByteArray("[\n    {\n        \"isDownloaded\": false,\n        \"name\": \"A "
                         "\\\"b\\\"\",\n        \"size\": \"\"\n    }\n]\n"));
    EXPECT_EQ(streamedText({}), QByteArray("[\n]\n"));
}

TEST(CliJsonRows, SameBytesAsTheWholeDocument) {
    const char16_t loneHigh[] = {u'a', 0xD83D, u'b', 0};
    const char16_t loneLow[] = {0xDE00, u'x', 0};
    const char16_t highAtEnd[] = {u'z', 0xD83D, 0};
    const QString names[] = {
        QStringLiteral("Plain.Name.2026.1080p"),
        QString(),
        QStringLiteral("quote \" backslash \\ slash / tab \t line \n return \r"),
        QStringLiteral("bell \a back \b feed \f esc \x1b unit \x1f del \x7f"),
        QString(QChar(0)) + QStringLiteral("nul"),
        QStringLiteral("Café — 東京 — Ωmega — \U0001F3AC film — \u00A0nbsp"),
        QString::fromUtf16(loneHigh),
        QString::fromUtf16(loneLow),
        QString::fromUtf16(highAtEnd),
        QStringLiteral("\u2028\u2029\uFEFF\uFFFF"),
    };
    TorrentList rows;
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const TorrentList one{fullRow(name, rows.size() % 2 == 0)};
        EXPECT_EQ(streamedText(one), documentText(one));
        rows.append(one);
    }
    // Rows with only some fields, between full ones.
    TorrentFields sparse;
    sparse.ratio = QStringLiteral("0.000");
    sparse.isDownloaded = true;
    rows.insert(3, std::make_shared<Torrent>(std::move(sparse)));
    rows.append(std::make_shared<Torrent>(TorrentFields{}));
    EXPECT_EQ(streamedText(rows), documentText(rows));
}

}  // namespace
}  // namespace pelloran::cli

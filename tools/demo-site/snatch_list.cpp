#include "snatch_list.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTimeZone>
#include <algorithm>
#include <numeric>

#include "release_names.h"

namespace pelloran::demo {

namespace {

// The snatch list prints figures with one decimal, unlike the listing.
QString shortSize(double bytes) {
    static const char* units[] = {"B", "KB", "MB", "GB", "TB"};
    int unit = 0;
    while (bytes >= 1024.0 && unit < 4) {
        bytes /= 1024.0;
        ++unit;
    }
    if (unit == 0) {
        return QString::number(qint64(bytes)) + QStringLiteral(" B");
    }
    return QString::number(bytes, 'f', 1) + QLatin1Char(' ') + QLatin1String(units[unit]);
}

QString seedTime(qint64 minutes) {
    if (minutes < 60) {
        return QString::number(minutes) + QStringLiteral("m");
    }
    if (minutes < 24 * 60) {
        return QStringLiteral("%1h %2m").arg(minutes / 60).arg(minutes % 60);
    }
    return QStringLiteral("%1d %2h").arg(minutes / (24 * 60)).arg(minutes / 60 % 24);
}

// json_encode's default escaping, applied to Qt's compact output.
QByteArray phpStyle(const QByteArray& json) {
    const QString text = QString::fromUtf8(json);
    QByteArray out;
    out.reserve(json.size() + json.size() / 8);
    for (QChar c : text) {
        if (c == QLatin1Char('/')) {
            out += "\\/";
        } else if (c.unicode() >= 128) {
            out += "\\u" + QByteArray::number(c.unicode(), 16).rightJustified(4, '0');
        } else {
            out += char(c.unicode());
        }
    }
    return out;
}

// The link text as the snatch list writes it: markup characters escaped, quotes left alone
// (they are text, not an attribute), so JSON escapes them as \".
QString linkText(const QString& name) {
    QString out = name;
    out.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    out.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    out.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    return out;
}

}  // namespace

std::vector<DemoSnatch> snatchesOf(const std::vector<DemoTorrent>& torrents,
                                   const DemoMember& member, quint32 seed) {
    QRandomGenerator rng(seed ^ quint32(member.id.toUInt() * 40503u + 17u));
    std::vector<size_t> order(torrents.size());
    std::iota(order.begin(), order.end(), size_t(0));
    for (size_t i = order.size(); i > 1; --i) {
        std::swap(order[i - 1], order[rng.bounded(quint32(i))]);
    }
    // The torrents with punctuated names are snatched first (and most recently, below), so the
    // first page of every snatch list shows names that JSON and HTML escape.
    size_t front = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        if (punctuatedNames().contains(torrents[order[k]].name)) {
            std::swap(order[front++], order[k]);
        }
    }
    const size_t count = std::min(order.size(), size_t(std::max(member.snatchCount, 0)));

    std::vector<DemoSnatch> out;
    for (size_t k = 0; k < count; ++k) {
        const DemoTorrent& t = torrents[order[k]];
        DemoSnatch s;
        s.torrentId = t.id;
        s.name = t.name;
        s.detailsHref = t.detailsHref;
        s.sizeText = shortSize(double(t.sizeBytes));
        const double downloaded = double(t.sizeBytes) * (0.2 + 0.8 * rng.generateDouble());
        const double uploaded =
            downloaded * rng.generateDouble() * (rng.bounded(4) == 0 ? 3.0 : 0.05);
        s.downloaded = shortSize(downloaded);
        s.uploaded = shortSize(uploaded);
        s.ratio = QString::number(uploaded / std::max(downloaded, 1.0), 'f', 3);
        s.active = rng.bounded(3) == 0 ? 1 : 0;
        s.seeders = t.seeders;
        s.leechers = t.leechers;
        s.seedTime = seedTime(qint64(rng.bounded(60 * 24 * 40)));
        QDateTime added = QDateTime::fromString(t.date, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        added.setTimeZone(QTimeZone::utc());
        s.lastAction = added.addSecs(600 + qint64(rng.bounded(86400 * 3)))
                           .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        out.push_back(std::move(s));
    }
    QString latest;
    for (const DemoSnatch& s : out) {
        latest = std::max(latest, s.lastAction);
    }
    QDateTime after = QDateTime::fromString(latest, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    after.setTimeZone(QTimeZone::utc());
    for (size_t k = std::min(front, out.size()); k-- > 0;) {
        after = after.addSecs(60);
        out[k].lastAction = after.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    std::stable_sort(out.begin(), out.end(), [](const DemoSnatch& a, const DemoSnatch& b) {
        return a.lastAction > b.lastAction;
    });
    return out;
}

QByteArray snatchListJson(const std::vector<DemoSnatch>& rows, int echo, qsizetype total) {
    QJsonArray data;
    for (const DemoSnatch& s : rows) {
        data.append(QJsonArray{
            QStringLiteral("<a href=\"%1\">%2</a>").arg(s.detailsHref, linkText(s.name)),
            s.sizeText,
            s.seedTime,
            s.uploaded,
            s.downloaded,
            s.active,
            s.seeders,
            s.leechers,
            s.ratio,
            s.lastAction,
        });
    }
    const QByteArray array = QJsonDocument(data).toJson(QJsonDocument::Compact);
    return "{\"sEcho\":" + QByteArray::number(echo) +
           ",\"iTotalRecords\":" + QByteArray::number(total) +
           ",\"iTotalDisplayRecords\":" + QByteArray::number(total) +
           ",\"aaData\":" + phpStyle(array) + "}";
}

}  // namespace pelloran::demo

#include "catalog.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QSet>
#include <QTimeZone>
#include <algorithm>
#include <cmath>

#include "release_names.h"
#include "url_codec.h"

namespace pelloran::demo {

namespace {

constexpr int kMovies = 1, kTv = 2, kGames = 3, kMusic = 4, kBooks = 5, kApps = 6, kAnime = 7;

struct CategoryRow {
    DemoCategory category;
    const char* badge;
};

const std::vector<CategoryRow>& rows() {
    auto row = [](int id, const char* name, const char* image, int section, const char* badge) {
        return CategoryRow{
            DemoCategory{id, QString::fromUtf8(name), QString::fromUtf8(image), section}, badge};
    };
    static const std::vector<CategoryRow> table = {
        row(8, "Cam", "cam.png", kMovies, "CAM"),
        row(9, "TS/TC", "ts.png", kMovies, "TS"),
        row(10, "R5/Screeners", "r5.png", kMovies, "R5"),
        row(11, "DVDRip/DVDScreener", "dvdrip.png", kMovies, "DVD"),
        row(12, "DVD-R", "dvdr.png", kMovies, "DVDR"),
        row(13, "HD", "hd.png", kMovies, "HD"),
        row(14, "BDRip", "bdrip.png", kMovies, "BD"),
        row(15, "Boxsets", "movie_boxsets.png", kMovies, "BOX"),
        row(29, "Documentaries", "documentaries.png", kMovies, "DOC"),
        row(26, "Episodes", "episodes.png", kTv, "TV"),
        row(32, "Episodes HD", "episodes_hd.png", kTv, "TVHD"),
        row(27, "BoxSets", "tv_boxsets.png", kTv, "TBOX"),
        row(17, "PC", "pc_games.png", kGames, "PC"),
        row(18, "XBOX", "xbox.png", kGames, "XBOX"),
        row(19, "XBOX360", "xbox360.png", kGames, "X360"),
        row(20, "PS2", "ps2.png", kGames, "PS2"),
        row(21, "PS3", "ps3.png", kGames, "PS3"),
        row(22, "PSP", "psp.png", kGames, "PSP"),
        row(28, "Wii", "wii.png", kGames, "WII"),
        row(30, "Nintendo DS", "nds.png", kGames, "NDS"),
        row(16, "Music Videos", "music_videos.png", kMusic, "MV"),
        row(31, "Audio", "audio.png", kMusic, "MP3"),
        row(5, "Books", "books.png", kBooks, "BOOK"),
        row(23, "PC-ISO", "pc_iso.png", kApps, "ISO"),
        row(24, "Mac", "mac.png", kApps, "MAC"),
        row(25, "PDA", "pda.png", kApps, "PDA"),
        row(7, "Anime", "anime.png", kAnime, "ANI"),
    };
    return table;
}

// Typical sizes in MB per category, so listings sort and read plausibly.
std::pair<double, double> sizeRangeMb(int categoryId) {
    switch (categoryId) {
        case 12:
            return {4200, 8500};
        case 13:
            return {3500, 14000};
        case 15:
            return {6000, 40000};
        case 27:
            return {2500, 16000};
        case 26:
            return {170, 420};
        case 32:
            return {700, 1600};
        case 17:
        case 19:
        case 21:
            return {2500, 9000};
        case 18:
        case 20:
        case 28:
            return {1800, 4400};
        case 22:
        case 30:
            return {60, 1200};
        case 16:
            return {150, 1400};
        case 31:
            return {70, 600};
        case 5:
            return {1, 40};
        case 23:
        case 24:
            return {20, 3500};
        case 25:
            return {2, 90};
        case 7:
            return {170, 1400};
        default:
            return {690, 1500};  // films
    }
}

// How names are written as HTML in the listing: most rows raw UTF-8, some with the accented
// letters as decimal or hexadecimal character references, the way different site versions did.
enum class HtmlStyle { Raw, Decimal, Hex };

QString htmlName(const QString& name, HtmlStyle style, bool quoteRefs) {
    QString out;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        switch (c.unicode()) {
            case '&':
                out += QLatin1String("&amp;");
                continue;
            case '<':
                out += QLatin1String("&lt;");
                continue;
            case '>':
                out += QLatin1String("&gt;");
                continue;
            case '"':
                out += QLatin1String("&quot;");
                continue;
            case '\'':
                out += quoteRefs ? QStringLiteral("&#039;") : QStringLiteral("'");
                continue;
            default:
                break;
        }
        if (c.unicode() < 128 || style == HtmlStyle::Raw || c.isSurrogate()) {
            out += c;
        } else if (style == HtmlStyle::Decimal) {
            out += QStringLiteral("&#%1;").arg(c.unicode());
        } else {
            out += QStringLiteral("&#x") + QString::number(c.unicode(), 16).toUpper() +
                   QLatin1Char(';');
        }
    }
    return out;
}

// URL slug of the details link: ASCII letters (accents dropped), digits and dots, other runs
// as one "-".
QString slug(const QString& name) {
    QString out;
    bool dash = false;
    for (QChar c : name.normalized(QString::NormalizationForm_D)) {
        if (c.isMark()) {
            continue;
        }
        const bool keep = c.unicode() < 128 && (c.isLetterOrNumber() || c == QLatin1Char('.'));
        if (keep) {
            if (dash && !out.isEmpty()) {
                out += QLatin1Char('-');
            }
            if (!out.isEmpty() || c != QLatin1Char('.')) {
                out += c;
            }
            dash = false;
        } else {
            dash = true;
        }
    }
    return out.isEmpty() ? QStringLiteral("torrent") : out;
}

// A second release of a name already taken, named the way groups mark them.
QString repackName(const QString& name) {
    const qsizetype dash = name.lastIndexOf(QLatin1Char('-'));
    if (!name.contains(QLatin1Char(' ')) && dash > 0) {
        return name.left(dash) + QStringLiteral(".REPACK") + name.mid(dash);
    }
    return name + QStringLiteral(" (Remastered)");
}

// File name for a download link: the name without characters that would end or break a URL.
QString linkFileName(const QString& name) {
    QString out;
    for (QChar c : name) {
        if (c.isLetterOrNumber() || QStringLiteral(" .-_()[],").contains(c)) {
            out += c;
        }
    }
    return out.simplified();
}

QString fileExtension(int categoryId) {
    switch (categoryId) {
        case 12:
        case 17:
        case 18:
        case 19:
        case 20:
        case 21:
        case 23:
        case 28:
            return QStringLiteral(".iso");
        case 13:
        case 32:
        case 7:
            return QStringLiteral(".mkv");
        case 31:
        case 15:
        case 27:
        case 16:
            return QStringLiteral(".zip");
        case 5:
            return QStringLiteral(".epub");
        case 24:
            return QStringLiteral(".dmg");
        case 22:
        case 25:
        case 30:
            return QStringLiteral(".zip");
        default:
            return QStringLiteral(".avi");
    }
}

// Download hrefs come in the forms the site has used over time; the id decides the file.
QString downloadHref(int id, const QString& name, QRandomGenerator& rng) {
    const QString file = linkFileName(name);
    const QString number = QString::number(id);
    bool nonAscii = false;
    for (QChar c : file) {
        nonAscii = nonAscii || c.unicode() >= 128;
    }
    switch (rng.bounded(10)) {
        case 6:  // a space written raw
            return QStringLiteral("/download/") + number + QLatin1Char('/') + file +
                   QStringLiteral(".torrent");
        case 7:  // non-ASCII letters written raw, when the name has any
            return QStringLiteral("/download/") + number + QLatin1Char('/') +
                   (nonAscii ? file : file.left(12)) + QStringLiteral(".torrent");
        case 8:  // already escaped
            return QStringLiteral("/download/") + number + QLatin1Char('/') +
                   percentEncodePath(file) + QStringLiteral(".torrent");
        case 9:  // the old script with a query, "&" written as an HTML reference
            return QStringLiteral("/download.php?id=") + number + QStringLiteral("&amp;name=") +
                   percentEncodePath(file) + QStringLiteral(".torrent");
        default:
            return QStringLiteral("/download/") + number + QLatin1Char('/') + slug(name) +
                   QStringLiteral(".torrent");
    }
}

int skewed(QRandomGenerator& rng, double scale) {
    return int(std::exp(rng.generateDouble() * std::log(scale + 1.0)) - 1.0);
}

}  // namespace

const std::vector<DemoCategory>& categoryTable() {
    static const std::vector<DemoCategory> table = [] {
        std::vector<DemoCategory> out;
        for (const CategoryRow& r : rows()) {
            out.push_back(r.category);
        }
        return out;
    }();
    return table;
}

const DemoCategory* categoryById(int id) {
    const auto& table = categoryTable();
    auto it = std::find_if(table.begin(), table.end(),
                           [id](const DemoCategory& c) { return c.id == id; });
    return it == table.end() ? nullptr : &*it;
}

QString categoryBadge(int id) {
    for (const CategoryRow& r : rows()) {
        if (r.category.id == id) {
            return QString::fromLatin1(r.badge);
        }
    }
    return QStringLiteral("?");
}

QList<int> expandCategoryIds(const QList<int>& ids) {
    QList<int> out;
    for (int id : ids) {
        for (const DemoCategory& c : categoryTable()) {
            const bool sectionOnly =
                id == kMovies || id == kTv || id == kGames || id == kMusic || id == kApps;
            if ((c.id == id || (sectionOnly && c.section == id)) && !out.contains(c.id)) {
                out.append(c.id);
            }
        }
    }
    return out;
}

QString listingSizeText(qint64 bytes) {
    constexpr double kKb = 1024.0, kMb = kKb * 1024.0, kGb = kMb * 1024.0;
    if (bytes >= qint64(kGb)) {
        return QString::number(bytes / kGb, 'f', 2) + QStringLiteral(" GB");
    }
    if (bytes >= qint64(kMb)) {
        return QString::number(bytes / kMb, 'f', 2) + QStringLiteral(" MB");
    }
    return QString::number(bytes / kKb, 'f', 2) + QStringLiteral(" KB");
}

std::vector<DemoTorrent> generateTorrents(int count, quint32 seed) {
    QRandomGenerator rng(seed);
    const auto& categories = categoryTable();
    std::vector<DemoTorrent> out;
    out.reserve(std::max(count, 0));
    QSet<QString> names;

    // Walk back in time from the newest upload, then number the torrents oldest first.
    QDateTime when(QDate(2012, 6, 30), QTime(21, 14, 5), QTimeZone::utc());
    std::vector<QDateTime> dates;
    for (int i = 0; i < count; ++i) {
        dates.push_back(when);
        when = when.addSecs(-(180 + qint64(rng.bounded(6 * 3600))));
    }
    std::reverse(dates.begin(), dates.end());

    int id = 41000 + int(rng.bounded(2000));
    for (int i = 0; i < count; ++i) {
        DemoTorrent t;
        id += 1 + int(rng.bounded(6));
        t.id = id;
        // Every 23rd torrent is a tiny book or phone application listed in KB.
        const bool kilobytes = i % 23 == 7;
        const DemoCategory& category = kilobytes
                                           ? *categoryById(i % 2 ? 5 : 25)
                                           : categories[rng.bounded(quint32(categories.size()))];
        t.categoryId = category.id;
        t.categoryImage = category.image;

        const bool unusual = i % 5 == 2;
        QString name = releaseName(t.categoryId, rng, unusual);
        for (int attempt = 0; names.contains(name) && attempt < 20; ++attempt) {
            name = releaseName(t.categoryId, rng, unusual);
        }
        if (names.contains(name)) {
            name = repackName(name);
        }
        const QString repacked = name;
        for (int copy = 2; names.contains(name); ++copy) {
            name = repacked + QStringLiteral(" v%1").arg(copy);
        }
        // Fixed torrents carry the names that URLs and JSON must escape. The random name is
        // drawn all the same, so every other torrent stays as the seed makes it.
        const qsizetype punctuated = i >= 12 && i % 5 == 2 ? (i - 12) / 5 : -1;
        if (punctuated >= 0 && punctuated < punctuatedNames().size()) {
            name = punctuatedNames().at(punctuated);
        }
        names.insert(name);
        t.name = name;
        const HtmlStyle style = i % 4 == 1   ? HtmlStyle::Decimal
                                : i % 8 == 3 ? HtmlStyle::Hex
                                             : HtmlStyle::Raw;
        t.nameHtml = htmlName(name, style, i % 2 == 0);
        t.fileName = linkFileName(name) + fileExtension(t.categoryId);

        if (kilobytes) {
            t.sizeBytes = 1024 * (96 + qint64(rng.bounded(900)));
        } else {
            const auto [low, high] = sizeRangeMb(t.categoryId);
            t.sizeBytes = qint64((low + rng.generateDouble() * (high - low)) * 1024.0 * 1024.0);
        }
        t.sizeText = listingSizeText(t.sizeBytes);

        const double age = double(count - i) / std::max(count, 1);  // 0 newest .. 1 oldest
        t.seeders = skewed(rng, 2000.0 * (1.2 - age));
        t.leechers = skewed(rng, 40.0) + (t.seeders > 0 ? int(rng.bounded(t.seeders / 4 + 1)) : 0);
        t.snatched = t.seeders * 3 + int(rng.bounded(50));
        t.comments = skewed(rng, 40.0);
        t.date = dates[size_t(i)].toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        t.detailsHref =
            QStringLiteral("/torrent/") + QString::number(t.id) + QLatin1Char('/') + slug(name);
        t.downloadHref = downloadHref(t.id, name, rng);
        t.uploader = uploaderNames().at(int(rng.bounded(quint32(uploaderNames().size()))));
        const bool screen = category.section == kMovies || category.section == kTv;
        if (screen && rng.bounded(2) == 0) {
            t.imdbId =
                QStringLiteral("tt%1").arg(100000 + rng.bounded(2400000), 7, 10, QLatin1Char('0'));
        }
        out.push_back(std::move(t));
    }
    return out;
}

}  // namespace pelloran::demo

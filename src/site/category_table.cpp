#include "site/category_table.h"

namespace pelloran {

const QList<Category>& categoryTable() {
    static const QList<Category> table = {
        {QStringLiteral("Movies"), 0},
        {QStringLiteral("Cam"), 8},
        {QStringLiteral("TS/TC"), 9},
        {QStringLiteral("R5/Screeners"), 10},
        {QStringLiteral("DVDRip/DVDScreener"), 11},
        {QStringLiteral("DVD-R"), 12},
        {QStringLiteral("HD"), 13},
        {QStringLiteral("BDRip"), 14},
        {QStringLiteral("Boxsets"), 15},
        {QStringLiteral("Documentaries"), 29},
        {QStringLiteral("TV"), 0},
        {QStringLiteral("Episodes"), 26},
        {QStringLiteral("Episodes HD"), 32},
        {QStringLiteral("BoxSets"), 27},
        {QStringLiteral("Games"), 0},
        {QStringLiteral("PC"), 17},
        {QStringLiteral("XBOX"), 18},
        {QStringLiteral("XBOX360"), 19},
        {QStringLiteral("PS2"), 20},
        {QStringLiteral("PS3"), 21},
        {QStringLiteral("PSP"), 22},
        {QStringLiteral("Wii"), 28},
        {QStringLiteral("Nintendo DS"), 30},
        {QStringLiteral("Music"), 0},
        {QStringLiteral("Music Videos"), 16},
        {QStringLiteral("Audio"), 31},
        {QStringLiteral("Books"), 0},
        {QStringLiteral("Books"), 5},
        {QStringLiteral("Applications"), 0},
        {QStringLiteral("PC-ISO"), 23},
        {QStringLiteral("Mac"), 24},
        {QStringLiteral("PDA"), 25},
        {QStringLiteral("Anime"), 0},
        {QStringLiteral("Anime"), 7},
    };
    return table;
}

const QList<ListingOption>& orderOptions() {
    static const QList<ListingOption> options = {
        {QStringLiteral("Date"), QString()},
        {QStringLiteral("Size"), QStringLiteral("orderby/size")},
        {QStringLiteral("Seeders"), QStringLiteral("orderby/seeders")},
        {QStringLiteral("Leechers"), QStringLiteral("orderby/leechers")},
    };
    return options;
}

const QList<ListingOption>& sortOptions() {
    static const QList<ListingOption> options = {
        {QStringLiteral("Desc"), QStringLiteral("desc")},
        {QStringLiteral("Asc"), QStringLiteral("asc")},
    };
    return options;
}

QString categoriesSetting(const QList<int>& ids) {
    QStringList pieces;
    for (const Category& c : categoryTable()) {
        if (!c.isHeader() && ids.contains(c.id)) {
            pieces.append(QString::number(c.id));
        }
    }
    return pieces.join(QLatin1Char(','));
}

QList<int> categoryIdsFromSetting(const QString& setting) {
    QList<int> ids;
    for (const QString& piece : setting.split(QLatin1Char(','))) {
        // A leading integer, as the switches read it: white space skipped, digits up to the
        // first other character, 0 when there are none.
        const QString trimmed = piece.trimmed();
        qsizetype digits = 0;
        while (digits < trimmed.size() && trimmed[digits].isDigit() &&
               trimmed[digits].unicode() < 128) {
            ++digits;
        }
        const int id = trimmed.left(digits).toInt();
        if (id == 0) {
            continue;
        }
        for (const Category& c : categoryTable()) {
            if (c.id == id && !ids.contains(id)) {
                ids.append(id);
            }
        }
    }
    return ids;
}

QString allCategoriesSetting() {
    QList<int> ids;
    for (const Category& c : categoryTable()) {
        if (!c.isHeader()) {
            ids.append(c.id);
        }
    }
    return categoriesSetting(ids);
}

}  // namespace pelloran

#pragma once
// The site's category table and the listing order and sort options the display settings offer.
// An id of 0 marks a section header, shown but not choosable.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace pelloran {

struct Category {
    QString name;
    int id = 0;  // 0: section header
    bool isHeader() const { return id == 0; }
};

struct ListingOption {
    QString title;  // "Size"
    QString value;  // "orderby/size" as stored
};

const QList<Category>& categoryTable();      // 34 rows in display order, headers included
const QList<ListingOption>& orderOptions();  // Date "", Size, Seeders, Leechers
const QList<ListingOption>& sortOptions();   // Desc "desc", Asc "asc"

// The stored form of a set of category ids: the choosable ids among `ids`, in table order,
// joined by "," ("" when none). Unknown ids are left out.
QString categoriesSetting(const QList<int>& ids);

// The ids a stored setting turns on: each piece read as a leading integer, 0 and unknown ids
// ignored ("8,abc,13" gives 8 and 13).
QList<int> categoryIdsFromSetting(const QString& setting);

// All choosable ids in table order: the search settings' default.
QString allCategoriesSetting();

}  // namespace pelloran

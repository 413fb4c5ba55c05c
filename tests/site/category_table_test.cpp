// The category table and the stored forms of category choices.

#include "site/category_table.h"

#include <gtest/gtest.h>

namespace pelloran {
namespace {

TEST(CategoryTableTest, TableAndStoredForms) {
    EXPECT_EQ(categoryTable().size(), 34);
    EXPECT_EQ(allCategoriesSetting(),
              QStringLiteral(
                  "8,9,10,11,12,13,14,15,29,26,32,27,17,18,19,20,21,22,28,30,16,31,5,23,24,25,7"));
    EXPECT_EQ(categoriesSetting({13, 8}), QStringLiteral("8,13"));  // table order, not given order
    EXPECT_EQ(categoriesSetting({0, 99}), QString());
    EXPECT_EQ(categoryIdsFromSetting(QStringLiteral("8,abc,13")), (QList<int>{8, 13}));
    EXPECT_EQ(categoryIdsFromSetting(QStringLiteral(" 26x,99,0")), (QList<int>{26}));
    EXPECT_TRUE(categoryIdsFromSetting(QString()).isEmpty());
    EXPECT_EQ(orderOptions()[0].value, QString());
    EXPECT_EQ(sortOptions()[1].value, QStringLiteral("asc"));
}

}  // namespace
}  // namespace pelloran

#include "lists/list_rules.h"

#include "text/string_helpers.h"

#include <algorithm>

namespace pelloran {

QString loadMoreDateText(const std::optional<QString>& lastDate) {
    if (!lastDate) {
        return QString();
    }
    return text::dateStringFromString(*lastDate, QStringLiteral("yyyy-MM-dd HH:mm:ss"),
                                      QStringLiteral("EEE, MMM d h:mm a"))
        .value_or(QString());
}

FavoritesBlock firstFavoritesBlock(int pagesPerBlock) {
    const int n = std::max(1, pagesPerBlock);
    return {1, n, n - 1};
}

FavoritesBlock nextFavoritesBlock(int requestedPage, int pagesPerBlock) {
    const int n = std::max(1, pagesPerBlock);
    return {requestedPage + 1, n, requestedPage + n - 1};
}

}  // namespace pelloran

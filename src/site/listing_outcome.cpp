#include "site/listing_outcome.h"

namespace pelloran {

QString pageNotUnderstoodMessage(const QString& url) {
    return QStringLiteral(
               "The site's page %1 was not understood: the site may have changed its "
               "pages.")
        .arg(url);
}

}  // namespace pelloran

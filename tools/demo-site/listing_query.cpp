#include "listing_query.h"

#include <QStringList>
#include <algorithm>

#include "catalog.h"
#include "url_codec.h"

namespace pelloran::demo {

namespace {

// Search ignores the dots and underscores of scene names: "iron valley" finds Iron.Valley.
QString searchable(const QString& text) {
    QString out = text.toCaseFolded();
    out.replace(QLatin1Char('.'), QLatin1Char(' '));
    out.replace(QLatin1Char('_'), QLatin1Char(' '));
    return out;
}

bool matchesSearch(const DemoTorrent& t, const QStringList& words) {
    const QString name = searchable(t.name);
    return std::all_of(words.begin(), words.end(),
                       [&](const QString& w) { return name.contains(w); });
}

}  // namespace

std::optional<ListingQuery> ListingQuery::fromPath(const QString& pathText) {
    QString path = pathText;
    if (path.startsWith(QLatin1String("http://"))) {
        const qsizetype slash = path.indexOf(QLatin1Char('/'), 7);
        path = slash < 0 ? QStringLiteral("/") : path.mid(slash);
    }
    path = path.section(QLatin1Char('?'), 0, 0);
    // Empty pieces matter: "query//" is an empty search, not a shift of every later piece.
    QStringList parts = path.split(QLatin1Char('/'));
    while (!parts.isEmpty() && parts.first().isEmpty()) {
        parts.removeFirst();  // the leading slash, or two of them
    }
    if (!parts.isEmpty() && parts.last().isEmpty()) {
        parts.removeLast();
    }
    if (parts.size() < 2 || parts[0] != QLatin1String("torrents") ||
        parts[1] != QLatin1String("browse")) {
        return std::nullopt;
    }
    ListingQuery query;
    if (parts.size() == 2) {
        return query;
    }
    if (parts[2] != QLatin1String("index")) {
        return std::nullopt;
    }
    for (qsizetype i = 3; i < parts.size(); i += 2) {
        const QString key = parts[i];
        if (key.isEmpty()) {
            --i;  // a doubled slash between pieces
            continue;
        }
        const QString value = i + 1 < parts.size() ? percentDecode(parts[i + 1]) : QString();
        if (key == QLatin1String("categories")) {
            query.categories.clear();
            for (const QString& piece : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                if (std::optional<int> id = leadingNumber(piece.trimmed())) {
                    query.categories.append(*id);
                }
            }
        } else if (key == QLatin1String("orderby")) {
            query.orderBy = value;
        } else if (key == QLatin1String("order")) {
            query.ascending = value == QLatin1String("asc");
        } else if (key == QLatin1String("query")) {
            query.search = value;
        } else if (key == QLatin1String("page")) {
            query.page = leadingNumber(value).value_or(1);
        } else {
            return std::nullopt;
        }
    }
    return query;
}

std::vector<const DemoTorrent*> selectTorrents(const std::vector<DemoTorrent>& torrents,
                                               const ListingQuery& query) {
    const QList<int> categories = expandCategoryIds(query.categories);
    const bool anyCategory = query.categories.isEmpty();
    const QStringList words =
        query.search ? searchable(*query.search).split(QLatin1Char(' '), Qt::SkipEmptyParts)
                     : QStringList();
    std::vector<const DemoTorrent*> out;
    for (const DemoTorrent& t : torrents) {
        if ((anyCategory || categories.contains(t.categoryId)) && matchesSearch(t, words)) {
            out.push_back(&t);
        }
    }
    auto key = [&](const DemoTorrent* t) -> qint64 {
        if (query.orderBy == QLatin1String("size"))
            return t->sizeBytes;
        if (query.orderBy == QLatin1String("seeders"))
            return t->seeders;
        if (query.orderBy == QLatin1String("leechers"))
            return t->leechers;
        return t->id;  // ids grow with the upload date
    };
    // Ties fall back to the newest first, as the site's SQL "ORDER BY x, added DESC" did.
    std::stable_sort(out.begin(), out.end(), [&](const DemoTorrent* a, const DemoTorrent* b) {
        const qint64 ka = key(a), kb = key(b);
        if (ka != kb) {
            return query.ascending ? ka < kb : ka > kb;
        }
        return a->id > b->id;
    });
    return out;
}

std::vector<const DemoTorrent*> pageOf(const std::vector<const DemoTorrent*>& selection, int page,
                                       int rowsPerPage) {
    if (page < 1 || rowsPerPage < 1) {
        return {};
    }
    const qint64 first = qint64(page - 1) * rowsPerPage;
    if (first >= qint64(selection.size())) {
        return {};
    }
    const qint64 last = std::min<qint64>(first + rowsPerPage, qint64(selection.size()));
    return {selection.begin() + first, selection.begin() + last};
}

int pageCountOf(qsizetype rows, int rowsPerPage) {
    return rowsPerPage < 1 ? 0 : int((rows + rowsPerPage - 1) / rowsPerPage);
}

}  // namespace pelloran::demo

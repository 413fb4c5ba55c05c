#include "site/torrent.h"

namespace pelloran {

void markDownloaded(const TorrentList& torrents, const QString& name) {
    for (const TorrentPtr& t : torrents) {
        if (t->name() == name) {
            t->setIsDownloaded(true);
        }
    }
}

}  // namespace pelloran

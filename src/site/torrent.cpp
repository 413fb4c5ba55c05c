#include "site/torrent.h"

namespace pelloran {

Torrent::Torrent(TorrentFields f)
    : name_(std::move(f.name)),
      wait_(std::move(f.wait)),
      detailsUrl_(std::move(f.detailsUrl)),
      downloadUrl_(std::move(f.downloadUrl)),
      type_(std::move(f.type)),
      size_(std::move(f.size)),
      up_(std::move(f.up)),
      down_(std::move(f.down)),
      date_(std::move(f.date)),
      ratio_(std::move(f.ratio)),
      active_(std::move(f.active)),
      isNew_(f.isNew),
      isDownloaded_(f.isDownloaded) {}

void markDownloaded(const TorrentList& torrents, const QString& name) {
    for (const TorrentPtr& t : torrents) {
        if (t->name() == name) {
            t->setIsDownloaded(true);
        }
    }
}

}  // namespace pelloran

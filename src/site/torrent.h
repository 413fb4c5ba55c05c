#pragma once
// One row of a torrent listing (or of the snatch list). Built on a fetch thread, read on the UI
// thread: every field is read and written whole. Rows are told apart only by name.

#include "site/atomic_value.h"

#include <QList>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>

namespace pelloran {

// A record's fields as a reader gathers them, before the record exists.
struct TorrentFields {
    using Text = std::optional<QString>;
    Text name, wait, detailsUrl, downloadUrl, type, size, up, down, date, ratio, active;
    bool isNew = false;
    bool isDownloaded = false;
};

class Torrent {
public:
    using Text = std::optional<QString>;

    Torrent() = default;
    // Built whole from a reader's fields: no other thread sees the record before it is
    // complete, so filling it takes none of the fields' locks (a page reader builds many).
    explicit Torrent(TorrentFields f);

    Text name() const { return name_.get(); }
    Text wait() const { return wait_.get(); }
    Text detailsUrl() const { return detailsUrl_.get(); }
    Text downloadUrl() const { return downloadUrl_.get(); }
    Text type() const { return type_.get(); }
    Text size() const { return size_.get(); }
    Text up() const { return up_.get(); }
    Text down() const { return down_.get(); }
    Text date() const { return date_.get(); }
    Text ratio() const { return ratio_.get(); }
    Text active() const { return active_.get(); }
    bool isNew() const { return isNew_.load(); }
    bool isDownloaded() const { return isDownloaded_.load(); }

    void setName(Text v) { name_.set(std::move(v)); }
    void setWait(Text v) { wait_.set(std::move(v)); }
    void setDetailsUrl(Text v) { detailsUrl_.set(std::move(v)); }
    void setDownloadUrl(Text v) { downloadUrl_.set(std::move(v)); }
    void setType(Text v) { type_.set(std::move(v)); }
    void setSize(Text v) { size_.set(std::move(v)); }
    void setUp(Text v) { up_.set(std::move(v)); }
    void setDown(Text v) { down_.set(std::move(v)); }
    void setDate(Text v) { date_.set(std::move(v)); }
    void setRatio(Text v) { ratio_.set(std::move(v)); }
    void setActive(Text v) { active_.set(std::move(v)); }
    void setIsNew(bool v) { isNew_.store(v); }
    void setIsDownloaded(bool v) { isDownloaded_.store(v); }

private:
    AtomicValue<Text> name_, wait_, detailsUrl_, downloadUrl_, type_, size_, up_, down_, date_,
        ratio_, active_;
    std::atomic<bool> isNew_{false};
    std::atomic<bool> isDownloaded_{false};
};

using TorrentPtr = std::shared_ptr<Torrent>;
using TorrentList = QList<TorrentPtr>;

// Marks every row whose name equals `name` as sent to the remote client.
void markDownloaded(const TorrentList& torrents, const QString& name);

}  // namespace pelloran

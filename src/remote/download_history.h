#pragma once
// The download history: the names of the torrents pushed successfully, oldest first, at most
// kCapacity entries, kept in the settings store. Duplicates are allowed (a torrent pushed twice
// is listed twice). The listing parser reads it to mark rows already sent; the history tab
// lists it newest first and deletes from it.
//
// Thread- and process-safe: each change is one read-modify-write of the settings file under the
// store's locks, written at once, so pushes finishing at the same time on different queues, or
// in the app and a pelloran-cli run, never lose an entry.

#include <QString>
#include <QStringList>
#include <optional>

namespace pelloran {

class SettingsStore;

class DownloadHistory {
public:
    static constexpr int kCapacity = 50;

    // `store` must outlive this object. Several histories over one store share its lock.
    explicit DownloadHistory(SettingsStore& store);

    // Oldest first; empty when nothing was pushed.
    QStringList entries() const;

    // Appends `name`; when the list then holds more than kCapacity entries, the oldest goes.
    void append(const QString& name);
    // Appends `name` as append() does, unless the list holds it already (for a torrent the
    // client had: sent before, it is listed once). True when it was appended.
    bool appendIfMissing(const QString& name);

    // Deletes the entry that row `row` of the history tab shows (row 0 is the newest). The tab
    // passes the number of rows it shows, so that a push landing after the tab was loaded does
    // not change which entry goes; without it the rows are counted on the stored list. Returns
    // the name removed, or absent when the row does not exist (nothing changes then).
    std::optional<QString> removeRow(int row, std::optional<qsizetype> shownCount = std::nullopt);

private:
    SettingsStore& store_;
};

}  // namespace pelloran

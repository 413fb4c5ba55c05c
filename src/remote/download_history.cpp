#include "remote/download_history.h"

#include "store/settings_keys.h"
#include "store/settings_store.h"

namespace pelloran {

DownloadHistory::DownloadHistory(SettingsStore& store) : store_(store) {}

QStringList DownloadHistory::entries() const {
    return store_.stringList(keys::torrentHistory).value_or(QStringList());
}

void DownloadHistory::append(const QString& name) {
    store_.updateStringList(keys::torrentHistory, [&name](QStringList& list) {
        list.append(name);
        if (list.size() > kCapacity) {
            list.removeFirst();
        }
    });
    store_.flush();
}

bool DownloadHistory::appendIfMissing(const QString& name) {
    bool appended = false;
    // One read-modify-write: a push finishing elsewhere can't slip the name in between.
    store_.updateStringList(keys::torrentHistory, [&](QStringList& list) {
        if (list.contains(name)) {
            return;
        }
        list.append(name);
        if (list.size() > kCapacity) {
            list.removeFirst();
        }
        appended = true;
    });
    if (appended) {
        store_.flush();
    }
    return appended;
}

std::optional<QString> DownloadHistory::removeRow(int row, std::optional<qsizetype> shownCount) {
    std::optional<QString> removed;
    store_.updateStringList(keys::torrentHistory, [&](QStringList& list) {
        const qsizetype index = shownCount.value_or(list.size()) - 1 - row;
        if (row < 0 || index < 0 || index >= list.size()) {
            return;
        }
        removed = list.takeAt(index);
    });
    if (removed) {
        store_.flush();
    }
    return removed;
}

}  // namespace pelloran

// The settings store over any settings file: start-up never fails, and what it writes back it
// reads again.

#include "fuzz_support.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QLatin1StringView kKeys[] = {
    pelloran::keys::version,
    pelloran::keys::username,
    pelloran::keys::password,
    pelloran::keys::automaticLogin,
    pelloran::keys::tab,
    pelloran::keys::categories,
    pelloran::keys::orderBy,
    pelloran::keys::sortBy,
    pelloran::keys::searchCategories,
    pelloran::keys::searchOrderBy,
    pelloran::keys::searchSortBy,
    pelloran::keys::favoritesCount,
    pelloran::keys::filters,
    pelloran::keys::torrentHistory,
    pelloran::keys::serverClient,
    pelloran::keys::serverAddress,
    pelloran::keys::serverPort,
    pelloran::keys::serverUser,
    pelloran::keys::serverPassword,
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelloran;
    static QTemporaryDir home;
    QDir(home.path()).removeRecursively();
    QDir().mkpath(home.path());
    {
        QFile file(home.filePath(QStringLiteral("settings.json")));
        fuzz::check(file.open(QIODevice::WriteOnly), "the test file is written");
        file.write(fuzz::bytesOf(data, size));
    }
    SettingsStore store(home.path());
    if (!store.movedAsidePath().isEmpty()) {
        return 0;  // not settings: set aside, and the store starts empty
    }
    // The file was read: what the store writes back over it must read again as it was.
    store.setValue(keys::tab, QStringLiteral("written"));
    store.updateStringList(keys::torrentHistory,
                           [](QStringList& list) { list.append(QStringLiteral("n")); });
    fuzz::check(store.flush(), "the store writes its file");

    SettingsStore again(home.path());
    fuzz::check(again.movedAsidePath().isEmpty(), "a file the store wrote reads back");
    for (const QLatin1StringView key : kKeys) {
        fuzz::check(again.value(key) == store.value(key), "every value reads back as written");
    }
    return 0;
}

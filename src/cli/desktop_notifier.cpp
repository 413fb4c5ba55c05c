#include "cli/desktop_notifier.h"

#include "store/own_module.h"

namespace pelloran::cli {

NotifyResult notifyDesktop(const QString& title, const QString& body, bool urgent) {
    // Qt D-Bus lives in the desktop module: a run with nothing to say never loads it.
    using Notify = int (*)(const QString&, const QString&, bool);
    const auto notify = reinterpret_cast<Notify>(
        ownModuleFunction(QStringLiteral("pelloran_desktop"), "pelloranNotifyDesktop", nullptr));
    return notify ? static_cast<NotifyResult>(notify(title, body, urgent))
                  : NotifyResult::NoSessionBus;
}

}  // namespace pelloran::cli

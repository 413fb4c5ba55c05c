// The desktop keyring's backend comes from the pelloran_desktop module, loaded when the first
// backend is made (see own_module.h). Without the module every call fails and says why, which
// the secret store takes as "no keyring": the passwords stay in the settings file.

#include "store/keyring_backend.h"
#include "store/own_module.h"

namespace pelloran {

namespace {

class MissingKeyring : public KeyringBackend {
public:
    explicit MissingKeyring(QString why) : why_(std::move(why)) {}
    KeyringAnswer read(const QString&, QDeadlineTimer) override { return failed(); }
    KeyringAnswer write(const QString&, const QString&, QDeadlineTimer) override {
        return failed();
    }

private:
    KeyringAnswer failed() const { return {KeyringAnswer::Status::Failed, QString(), why_}; }
    QString why_;
};

}  // namespace

std::unique_ptr<KeyringBackend> makeQtKeychainBackend(const QString& service) {
    using Make = KeyringBackend* (*)(const QString&);
    QString why;
    if (const auto make = reinterpret_cast<Make>(ownModuleFunction(
            QStringLiteral("pelloran_desktop"), "pelloranMakeKeyringBackend", &why))) {
        return std::unique_ptr<KeyringBackend>(make(service));
    }
    return std::make_unique<MissingKeyring>(why);
}

}  // namespace pelloran

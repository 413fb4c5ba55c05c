#include "remote/bit_client_registry.h"

#include "remote/deluge.h"
#include "remote/qbittorrent.h"
#include "remote/transmission.h"
#include "remote/utorrent.h"
#include "remote/vuze.h"

namespace pelloran {

const QList<const BitClientType*>& bitClientTypes() {
    static const QList<const BitClientType*> types{
        &Vuze::kType, &Transmission::kType, &Utorrent::kType, &QBittorrent::kType, &Deluge::kType};
    return types;
}

const BitClientType* bitClientTypeByIndex(int index) {
    for (const BitClientType* type : bitClientTypes()) {
        if (type->index == index) {
            return type;
        }
    }
    return nullptr;
}

const BitClientType* bitClientType(const QString& name) {
    if (name.isEmpty()) {
        return nullptr;
    }
    for (const BitClientType* type : bitClientTypes()) {
        if (name == type->name) {
            return type;
        }
    }
    return nullptr;
}

std::unique_ptr<BitClient> makeBitClient(const QString& name) {
    const BitClientType* type = bitClientType(name);
    if (type == &Vuze::kType) {
        return std::make_unique<Vuze>();
    }
    if (type == &Transmission::kType) {
        return std::make_unique<Transmission>();
    }
    if (type == &Utorrent::kType) {
        return std::make_unique<Utorrent>();
    }
    if (type == &QBittorrent::kType) {
        return std::make_unique<QBittorrent>();
    }
    if (type == &Deluge::kType) {
        return std::make_unique<Deluge>();
    }
    return nullptr;
}

QString clientDisplayName(const BitClientType& type) {
    return &type == &Utorrent::kType ? QStringLiteral("uTorrent") : QString(type.name);
}

QString clientNameByIndex(int index) {
    const BitClientType* type = bitClientTypeByIndex(index);
    return type ? QString(type->name) : QString(QLatin1StringView(""));
}

PushOptionSupport pushOptionSupport(const QString& name) {
    const BitClientType* type = bitClientType(name);
    return type ? type->pushOptions : PushOptionSupport{};
}

}  // namespace pelloran

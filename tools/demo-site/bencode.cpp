#include "bencode.h"

namespace pelloran::demo::bencode {

QByteArray string(const QByteArray& bytes) {
    return QByteArray::number(bytes.size()) + ':' + bytes;
}

QByteArray integer(qint64 value) {
    return 'i' + QByteArray::number(value) + 'e';
}

QByteArray dictionary(const std::map<QByteArray, QByteArray>& encodedValues) {
    QByteArray out = "d";
    for (const auto& [key, value] : encodedValues) {
        out += string(key);
        out += value;
    }
    out += 'e';
    return out;
}

}  // namespace pelloran::demo::bencode

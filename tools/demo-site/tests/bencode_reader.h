#pragma once
// A strict bencode reader for checking the site's .torrent files: integers without leading
// zeros, dictionary keys in strictly increasing byte order, nothing after the top value.

#include <QByteArray>
#include <map>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace pelloran::demo::test {

struct BValue;
using BDict = std::map<QByteArray, BValue>;
using BList = std::vector<BValue>;

struct BValue {
    std::variant<qint64, QByteArray, std::shared_ptr<BList>, std::shared_ptr<BDict>> value;

    const qint64* integer() const { return std::get_if<qint64>(&value); }
    const QByteArray* string() const { return std::get_if<QByteArray>(&value); }
    const BDict* dict() const {
        auto p = std::get_if<std::shared_ptr<BDict>>(&value);
        return p ? p->get() : nullptr;
    }
    const BValue* at(const char* key) const;  // nullptr when not a dictionary or no such key
};

std::optional<BValue> parseBencode(const QByteArray& bytes);  // absent when not valid

}  // namespace pelloran::demo::test

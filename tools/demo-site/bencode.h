#pragma once
// Bencoding, the encoding of .torrent files and tracker replies.

#include <QByteArray>
#include <map>

namespace pelloran::demo::bencode {

QByteArray string(const QByteArray& bytes);  // "4:spam"
QByteArray integer(qint64 value);            // "i42e"
// A dictionary of already encoded values. std::map orders QByteArray keys byte by byte, which
// is the order bencoding requires.
QByteArray dictionary(const std::map<QByteArray, QByteArray>& encodedValues);

}  // namespace pelloran::demo::bencode

// The info-hash a client knows a torrent by: the hash of the "info" value exactly as it stands
// in the file, found by a reader that gives up on anything but one well-formed dictionary.

#include "remote/info_hash.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>

namespace pelloran {
namespace {

// A bencoded string.
QByteArray str(const QByteArray& text) {
    return QByteArray::number(text.size()) + ':' + text;
}

TEST(InfoHash, HashesTheInfoValueAsItStands) {
    // Keys out of order, and values before "info" that look like it: an "info" inside a list,
    // a string holding "4:infod", a negative integer.
    const QByteArray info = "d" + str("length") + "i1000e" + str("name") + str("sample.bin") +
                            str("piece length") + "i16384ee";
    const QByteArray torrent = "d" + str("announce") + str("http://x/a?4:infod") + str("lists") +
                               "l" + str("info") + "d" + str("a") + "i1eee" + str("num") + "i-7e" +
                               str("info") + info + str("comment") + str("yes") + "e";
    const auto span = infoValueSpan(torrent);
    ASSERT_TRUE(span.has_value());
    EXPECT_EQ(torrent.mid(span->first, span->second), info);
    const std::optional<InfoHashes> hashes = torrentInfoHashes(torrent);
    ASSERT_TRUE(hashes.has_value());
    EXPECT_EQ(hashes->v1, QCryptographicHash::hash(info, QCryptographicHash::Sha1).toHex());
    EXPECT_EQ(hashes->v2,
              QCryptographicHash::hash(info, QCryptographicHash::Sha256).left(20).toHex());
}

TEST(InfoHash, AnythingButOneDictionaryWithAnInfoDictionaryHasNone) {
    const QByteArray deep = QByteArray(200, 'l') + QByteArray(200, 'e');
    const struct {
        const char* label;
        QByteArray bytes;
    } cases[] = {
        {"empty", ""},
        {"a list", "l4:infod1:ai1eee"},
        {"no info", "d8:announce3:abce"},
        {"info is a string", "d4:info3:abce"},
        {"info is a list", "d4:infoli1eee"},
        {"unterminated", "d4:infod1:ai1ee"},
        {"bytes after the end", "d4:infod1:ai1eeeX"},
        {"string longer than the file", "d4:infod1:a99:abcee"},
        {"length that would overflow", "d4:infod1:a99999999999999999999999:xee"},
        {"length without colon", "d4:infod1:a3abcee"},
        {"integer without digits", "d4:infod1:aieee"},
        {"integer without end", "d4:infod1:ai12"},
        {"key that is not a string", "di1e4:infod1:ai1eee"},
        {"nesting deeper than any torrent", "d5:extra" + deep + "4:infod1:ai1eee"},
        {"HTML page", "<html><title>Login</title></html>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(infoValueSpan(c.bytes), std::nullopt) << c.label;
        EXPECT_EQ(torrentInfoHashes(c.bytes).has_value(), false) << c.label;
    }
}

}  // namespace
}  // namespace pelloran

// The bencode reader behind a torrent's info-hash, on any bytes a site or a client may send:
// it ends, it never reads outside the file, a span it gives is one whole dictionary inside the
// file, and arbitrary bytes held in a string of a well-formed file don't throw it off.

#include "fuzz_support.h"
#include "remote/info_hash.h"

namespace {

bool isLowerHex(const QByteArray& digits) {
    for (const char c : digits) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return digits.size() == 40;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelloran;
    const QByteArray bytes = fuzz::bytesOf(data, size);

    const auto span = infoValueSpan(bytes);
    const auto hashes = torrentInfoHashes(bytes);
    fuzz::check(span.has_value() == hashes.has_value(), "hashes exactly when there is a span");
    if (span) {
        const auto [start, length] = *span;
        fuzz::check(start > 0 && length >= 2 && start + length < bytes.size(),
                    "the info value lies inside the file, before its end");
        fuzz::check(bytes[start] == 'd' && bytes[start + length - 1] == 'e',
                    "the info value is a dictionary");
        // The same value as the only key of a file of its own is found again, whole.
        const QByteArray alone = "d4:info" + bytes.mid(start, length) + 'e';
        const auto again = infoValueSpan(alone);
        fuzz::check(again && again->first == 7 && again->second == length,
                    "the info value reads the same on its own");
        fuzz::check(isLowerHex(hashes->v1) && isLowerHex(hashes->v2),
                    "hashes are 40 lowercase hex digits");
    }

    // The input as the bytes of a string inside a well-formed file: lengths, not contents, say
    // where values end.
    const QByteArray wrapped =
        "d8:announce3:url4:infod6:pieces" + QByteArray::number(bytes.size()) + ':' + bytes + "ee";
    const auto inFile = infoValueSpan(wrapped);
    fuzz::check(
        inFile && inFile->first == 22 && inFile->first + inFile->second == wrapped.size() - 1,
        "a string's bytes never end the value early");
    return 0;
}

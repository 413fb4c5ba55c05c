#include "remote/info_hash.h"

#include <QCryptographicHash>

namespace pelloran {

namespace {

// Deeper nesting than any real torrent has; a deeper file is not read.
constexpr int kMaxDepth = 64;

class BencodeWalker {
public:
    explicit BencodeWalker(const QByteArray& bytes)
        : data_(bytes.constData()), end_(bytes.size()) {}

    qsizetype position() const { return pos_; }
    bool atEnd() const { return pos_ == end_; }
    bool peek(char c) const { return pos_ < end_ && data_[pos_] == c; }

    // Skips one value of any kind; false when it is not well formed.
    bool skipValue(int depth = 0) {
        if (pos_ >= end_ || depth > kMaxDepth) {
            return false;
        }
        const char c = data_[pos_];
        if (c == 'i') {
            return skipInteger();
        }
        if (c == 'l' || c == 'd') {
            ++pos_;
            while (!peek('e')) {
                if (c == 'd' && !readString(nullptr)) {
                    return false;
                }
                if (!skipValue(depth + 1)) {
                    return false;
                }
            }
            ++pos_;
            return true;
        }
        return readString(nullptr);
    }

    // Reads "<length>:<bytes>"; the bytes go to `out` when given.
    bool readString(QByteArray* out) {
        qsizetype length = 0;
        const qsizetype start = pos_;
        while (pos_ < end_ && data_[pos_] >= '0' && data_[pos_] <= '9') {
            length = length * 10 + (data_[pos_] - '0');
            if (length > end_) {
                return false;  // longer than the whole file (and never overflowing)
            }
            ++pos_;
        }
        if (pos_ == start || pos_ >= end_ || data_[pos_] != ':') {
            return false;
        }
        ++pos_;
        if (length > end_ - pos_) {
            return false;
        }
        if (out) {
            *out = QByteArray(data_ + pos_, length);
        }
        pos_ += length;
        return true;
    }

    void advance() { ++pos_; }

private:
    bool skipInteger() {
        ++pos_;  // 'i'
        if (peek('-')) {
            ++pos_;
        }
        const qsizetype digits = pos_;
        while (pos_ < end_ && data_[pos_] >= '0' && data_[pos_] <= '9') {
            ++pos_;
        }
        if (pos_ == digits || !peek('e')) {
            return false;
        }
        ++pos_;
        return true;
    }

    const char* data_;
    const qsizetype end_;
    qsizetype pos_ = 0;
};

}  // namespace

std::optional<std::pair<qsizetype, qsizetype>> infoValueSpan(const QByteArray& torrent) {
    BencodeWalker walker(torrent);
    if (!walker.peek('d')) {
        return std::nullopt;
    }
    walker.advance();
    std::optional<std::pair<qsizetype, qsizetype>> span;
    while (!walker.peek('e')) {
        QByteArray key;
        if (!walker.readString(&key)) {
            return std::nullopt;
        }
        const qsizetype start = walker.position();
        const bool isDictionary = walker.peek('d');
        if (!walker.skipValue(1)) {
            return std::nullopt;
        }
        if (key == "info" && isDictionary && !span) {
            span = std::make_pair(start, walker.position() - start);
        }
    }
    walker.advance();
    if (!walker.atEnd()) {
        return std::nullopt;
    }
    return span;
}

std::optional<InfoHashes> torrentInfoHashes(const QByteArray& torrent) {
    const auto span = infoValueSpan(torrent);
    if (!span) {
        return std::nullopt;
    }
    const QByteArrayView info(torrent.constData() + span->first, span->second);
    return InfoHashes{
        QCryptographicHash::hash(info, QCryptographicHash::Sha1).toHex(),
        QCryptographicHash::hash(info, QCryptographicHash::Sha256).left(20).toHex(),
    };
}

}  // namespace pelloran

#include "bencode_reader.h"

namespace pelloran::demo::test {

namespace {

class Reader {
public:
    explicit Reader(const QByteArray& bytes) : bytes_(bytes) {}

    std::optional<BValue> value() {
        if (pos_ >= bytes_.size()) {
            return std::nullopt;
        }
        const char c = bytes_[pos_];
        if (c == 'i') {
            ++pos_;
            auto n = number('e');
            if (!n)
                return std::nullopt;
            return BValue{*n};
        }
        if (c == 'l') {
            ++pos_;
            auto list = std::make_shared<BList>();
            while (pos_ < bytes_.size() && bytes_[pos_] != 'e') {
                auto item = value();
                if (!item)
                    return std::nullopt;
                list->push_back(*item);
            }
            if (pos_ >= bytes_.size())
                return std::nullopt;
            ++pos_;
            return BValue{list};
        }
        if (c == 'd') {
            ++pos_;
            auto dict = std::make_shared<BDict>();
            std::optional<QByteArray> previous;
            while (pos_ < bytes_.size() && bytes_[pos_] != 'e') {
                auto key = string();
                if (!key || (previous && !(*previous < *key)))
                    return std::nullopt;
                auto item = value();
                if (!item)
                    return std::nullopt;
                dict->emplace(*key, *item);
                previous = key;
            }
            if (pos_ >= bytes_.size())
                return std::nullopt;
            ++pos_;
            return BValue{dict};
        }
        auto s = string();
        if (!s)
            return std::nullopt;
        return BValue{*s};
    }

    bool atEnd() const { return pos_ == bytes_.size(); }

private:
    std::optional<qint64> number(char end) {
        const qsizetype stop = bytes_.indexOf(end, pos_);
        if (stop <= pos_)
            return std::nullopt;
        const QByteArray digits = bytes_.mid(pos_, stop - pos_);
        if ((digits.size() > 1 && digits[0] == '0') || digits.startsWith("-0"))
            return std::nullopt;
        bool ok = false;
        const qint64 n = digits.toLongLong(&ok);
        if (!ok)
            return std::nullopt;
        pos_ = stop + 1;
        return n;
    }

    std::optional<QByteArray> string() {
        auto length = number(':');
        if (!length || *length < 0 || pos_ + *length > bytes_.size())
            return std::nullopt;
        QByteArray s = bytes_.mid(pos_, *length);
        pos_ += *length;
        return s;
    }

    const QByteArray& bytes_;
    qsizetype pos_ = 0;
};

}  // namespace

const BValue* BValue::at(const char* key) const {
    const BDict* d = dict();
    if (!d)
        return nullptr;
    auto it = d->find(QByteArray(key));
    return it == d->end() ? nullptr : &it->second;
}

std::optional<BValue> parseBencode(const QByteArray& bytes) {
    Reader reader(bytes);
    std::optional<BValue> v = reader.value();
    if (!v || !reader.atEnd())
        return std::nullopt;
    return v;
}

}  // namespace pelloran::demo::test

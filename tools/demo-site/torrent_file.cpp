#include "torrent_file.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QRandomGenerator>
#include <QTimeZone>

#include "bencode.h"

namespace pelloran::demo {

TorrentFileFactory::TorrentFileFactory(quint32 seed, QString announceUrl)
    : announceUrl_(std::move(announceUrl)), seed_(seed) {
    QRandomGenerator rng(seed ^ 0x70726e64u);
    block_.resize(kPieceLength);
    rng.fillRange(reinterpret_cast<quint32*>(block_.data()), kPieceLength / int(sizeof(quint32)));
    blockHash_ = QCryptographicHash::hash(block_, QCryptographicHash::Sha1);
}

QByteArray TorrentFileFactory::build(const DemoTorrent& torrent) const {
    QRandomGenerator rng(seed_ + quint32(torrent.id) * 2654435761u);
    const qint64 length = 1048576 + qint64(rng.bounded(3 * 1048576));
    const qint64 fullPieces = length / kPieceLength;
    const qint64 rest = length % kPieceLength;

    QByteArray pieces;
    for (qint64 i = 0; i < fullPieces; ++i) {
        pieces += blockHash_;
    }
    if (rest > 0) {
        pieces += QCryptographicHash::hash(block_.left(rest), QCryptographicHash::Sha1);
    }

    using namespace bencode;
    const QByteArray info = dictionary({
        {"length", integer(length)},
        {"name", string(torrent.fileName.toUtf8())},
        {"piece length", integer(kPieceLength)},
        {"pieces", string(pieces)},
        {"private", integer(1)},
    });
    QDateTime created = QDateTime::fromString(torrent.date, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    created.setTimeZone(QTimeZone::utc());
    return dictionary({
        {"announce", string(announceUrl_.toUtf8())},
        {"comment", string("http://" + announceUrl_.section(QLatin1Char('/'), 2, 2).toUtf8() +
                           torrent.detailsHref.toUtf8())},
        {"created by", string("Pelloran demo site")},
        {"creation date", integer(created.toSecsSinceEpoch())},
        {"info", info},
    });
}

}  // namespace pelloran::demo

#pragma once
// Upload bodies written byte for byte the way the Pelloran client writes them, plus a small
// loopback HTTP client, so the fakes are checked against the real shapes and nothing else.

#include <httplib.h>

#include <QByteArray>
#include <string>

namespace pelloran::fake::test {

inline const QByteArray kBoundary = "---------------------------20072377098235644401115438165";
inline const std::string kMultipartType =
    "multipart/form-data; boundary=" + kBoundary.toStdString();

// The file part's header as the client writes it, after the two hyphens of its delimiter line.
inline QByteArray filePartHeader(const QByteArray& name, const QByteArray& filename,
                                 const QByteArray& contentType) {
    return kBoundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"; filename=\"" +
           filename + "\"\r\nContent-Type: " + contentType + "\r\n\r\n";
}

// Vuze: an empty "upfile_1" part, then the file in "upfile_0".
inline QByteArray vuzeBody(const QByteArray& filename, const QByteArray& file) {
    return "--" + kBoundary +
           "\r\nContent-Disposition: form-data; name=\"upfile_1\"; filename=\"\"\r\n"
           "Content-Type: application/octet-stream\r\n\r\n\r\n--" +
           filePartHeader("upfile_0", filename, "application/octet-stream") + file + "\r\n--" +
           kBoundary + "--\r\n";
}

// uTorrent: the file alone in "torrent_file".
inline QByteArray utorrentBody(const QByteArray& filename, const QByteArray& file) {
    return "--" + filePartHeader("torrent_file", filename, "application/x-bittorrent") + file +
           "\r\n--" + kBoundary + "--\r\n";
}

inline const QByteArray kTorrent = "d8:announce30:http://tracker.example/announcee";

// A client for one fake; paths go out exactly as given.
inline httplib::Client clientFor(int port) {
    httplib::Client client("127.0.0.1", port);
    client.set_url_encode(false);
    client.set_read_timeout(10, 0);
    return client;
}

inline httplib::Result post(int port, const std::string& target, const QByteArray& body,
                            const std::string& contentType = kMultipartType,
                            const httplib::Headers& headers = {}) {
    return clientFor(port).Post(target, headers, body.toStdString(), contentType);
}

}  // namespace pelloran::fake::test

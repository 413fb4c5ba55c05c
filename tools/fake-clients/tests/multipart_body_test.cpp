#include "multipart_body.h"

#include <gtest/gtest.h>

#include "client_bodies.h"

namespace pelloran::fake {
namespace {

using test::kBoundary;
using test::kTorrent;
using test::utorrentBody;
using test::vuzeBody;

TEST(MultipartBoundary, ReadsOnlyUsableFormDataBoundaries) {
    const struct {
        QByteArray contentType;
        std::optional<QByteArray> boundary;
    } cases[] = {
        {"multipart/form-data; boundary=" + kBoundary, kBoundary},
        {"Multipart/Form-Data;boundary=\"" + kBoundary + "\"", kBoundary},
        {"multipart/form-data; charset=utf-8; boundary=abc", QByteArray("abc")},
        {"multipart/form-data", std::nullopt},
        {"multipart/form-data; boundary=", std::nullopt},
        {"multipart/form-data; boundary=" + QByteArray(71, 'x'), std::nullopt},
        {"multipart/mixed; boundary=" + kBoundary, std::nullopt},
        {"application/x-www-form-urlencoded", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(multipartBoundary(c.contentType), c.boundary) << c.contentType.constData();
    }
}

TEST(MultipartBody, ReadsTheVuzeBodyWithItsEmptyFirstPart) {
    const QByteArray filename = "Ubuntu \"24.04\" Ærø; 日本.torrent";
    const MultipartParse parse = parseMultipartBody(vuzeBody(filename, kTorrent), kBoundary);

    ASSERT_TRUE(parse.ok()) << parse.error.toStdString();
    ASSERT_EQ(parse.parts.size(), 2u);
    EXPECT_EQ(parse.parts[0].name, "upfile_1");
    EXPECT_EQ(parse.parts[0].filename, QByteArray(""));
    EXPECT_EQ(parse.parts[0].contentType, "application/octet-stream");
    EXPECT_TRUE(parse.parts[0].content.isEmpty());
    EXPECT_EQ(parse.parts[1].name, "upfile_0");
    EXPECT_EQ(parse.parts[1].filename, filename);
    EXPECT_EQ(parse.parts[1].content, kTorrent);
}

TEST(MultipartBody, TellsAFieldWithoutFilenameFromAnEmptyFilename) {
    const QByteArray body = "--" + kBoundary +
                            "\r\nContent-Disposition: form-data; name=\"X-Transmission-Session-Id\""
                            "\r\n\r\nabc\r\n--" +
                            kBoundary + "--\r\n";
    const MultipartParse parse = parseMultipartBody(body, kBoundary);

    ASSERT_TRUE(parse.ok()) << parse.error.toStdString();
    ASSERT_EQ(parse.parts.size(), 1u);
    EXPECT_FALSE(parse.parts[0].filename.has_value());
    EXPECT_TRUE(parse.parts[0].contentType.isNull());
    EXPECT_EQ(parse.parts[0].content, "abc");
}

TEST(MultipartBody, RefusesBodiesThatAreNotWellFormed) {
    const QByteArray good = utorrentBody("a.torrent", kTorrent);
    const QByteArray closing = "\r\n--" + kBoundary + "--\r\n";
    const QByteArray head = good.left(good.size() - closing.size());  // up to the file's end
    const struct {
        const char* fault;
        QByteArray body;
    } cases[] = {
        {"closing delimiter with one hyphen", head + "\r\n--" + kBoundary + "-\r\n"},
        {"no closing delimiter", head + "\r\n"},
        {"closing delimiter without its CR LF", head + "--" + kBoundary + "--\r\n"},
        {"preamble", "preamble\r\n" + good},
        {"bytes after the closing delimiter", good + "trailing"},
        {"other boundary", QByteArray(good).replace(kBoundary, kBoundary.chopped(1) + "7")},
        {"header block ends with one CR LF",
         QByteArray(good).replace("bittorrent\r\n\r\n", "bittorrent\r\n")},
        {"bare line feed between headers",
         QByteArray(good).replace("\"\r\nContent-Type", "\"\nContent-Type")},
        {"no Content-Disposition",
         QByteArray(good).replace("Content-Disposition", "Content-Location")},
        {"not form-data", QByteArray(good).replace("form-data;", "attachment;")},
        {"no name parameter", QByteArray(good).replace("name=\"torrent_file\"; ", "")},
        {"unterminated quoted filename", QByteArray(good).replace("a.torrent\"", "a.torrent")},
        {"empty body", QByteArray()},
    };
    for (const auto& c : cases) {
        const MultipartParse parse = parseMultipartBody(c.body, kBoundary);
        EXPECT_FALSE(parse.ok()) << c.fault;
        EXPECT_TRUE(parse.parts.empty()) << c.fault;
    }
}

}  // namespace
}  // namespace pelloran::fake

#include "cli/json_rows.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

namespace pelloran::cli {

namespace {

char hexDigit(unsigned v) {
    return "0123456789abcdef"[v & 0xF];
}

void appendUnicodeEscape(QByteArray& out, char16_t u) {
    out.append("\\u", 2);
    out.append(hexDigit(u >> 12)).append(hexDigit(u >> 8)).append(hexDigit(u >> 4));
    out.append(hexDigit(u));
}

void appendUtf8(QByteArray& out, char32_t c) {
    if (c < 0x800) {
        out.append(char(0xC0 | (c >> 6))).append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.append(char(0xE0 | (c >> 12))).append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    } else {
        out.append(char(0xF0 | (c >> 18))).append(char(0x80 | ((c >> 12) & 0x3F)));
        out.append(char(0x80 | ((c >> 6) & 0x3F))).append(char(0x80 | (c & 0x3F)));
    }
}

}  // namespace

void appendJsonString(QByteArray& out, QStringView text) {
    out.append('"');
    // Most texts hold nothing to escape: converted whole, by Qt's own UTF-8 encoder.
    const bool plain = std::none_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() < 0x20 || c == u'"' || c == u'\\' || c.isSurrogate();
    });
    if (plain) {
        out.append(text.toUtf8()).append('"');
        return;
    }
    const char16_t* p = text.utf16();
    const char16_t* const end = p + text.size();
    while (p != end) {
        const char16_t u = *p++;
        if (u < 0x80) {
            switch (u) {
                case u'"':
                    out.append("\\\"", 2);
                    break;
                case u'\\':
                    out.append("\\\\", 2);
                    break;
                case u'\b':
                    out.append("\\b", 2);
                    break;
                case u'\f':
                    out.append("\\f", 2);
                    break;
                case u'\n':
                    out.append("\\n", 2);
                    break;
                case u'\r':
                    out.append("\\r", 2);
                    break;
                case u'\t':
                    out.append("\\t", 2);
                    break;
                default:
                    if (u < 0x20) {
                        appendUnicodeEscape(out, u);
                    } else {
                        out.append(char(u));
                    }
            }
        } else if (QChar::isHighSurrogate(u) && p != end && QChar::isLowSurrogate(*p)) {
            appendUtf8(out, QChar::surrogateToUcs4(u, *p++));
        } else if (QChar::isSurrogate(u)) {
            appendUnicodeEscape(out, u);
        } else {
            appendUtf8(out, u);
        }
    }
    out.append('"');
}

void writeTorrentsJson(const TorrentList& torrents,
                       const std::function<void(const QByteArray&)>& write) {
    if (torrents.isEmpty()) {
        write(QByteArrayLiteral("[\n]\n"));
        return;
    }
    write(QByteArrayLiteral("[\n"));
    QByteArray row;
    for (qsizetype i = 0; i < torrents.size(); ++i) {
        const Torrent& t = *torrents[i];
        // Keys in the order of their letters, as a JSON object keeps them.
        const std::array<std::pair<const char*, Torrent::Text>, 10> texts{{
            {"active", t.active()},
            {"date", t.date()},
            {"detailsUrl", t.detailsUrl()},
            {"down", t.down()},
            {"downloadUrl", t.downloadUrl()},
            {"name", t.name()},
            {"ratio", t.ratio()},
            {"size", t.size()},
            {"type", t.type()},
            {"up", t.up()},
        }};
        row.clear();
        row.append("    {\n");
        bool first = true;
        const auto key = [&row, &first](const char* name) {
            row.append(first ? "" : ",\n").append("        \"").append(name).append("\": ");
            first = false;
        };
        for (const auto& [name, value] : texts) {
            if (value) {
                key(name);
                appendJsonString(row, *value);
            }
            if (std::string_view(name) == "downloadUrl") {  // isDownloaded sorts right after it
                key("isDownloaded");
                row.append(t.isDownloaded() ? "true" : "false");
            }
        }
        row.append(i + 1 < torrents.size() ? "\n    },\n" : "\n    }\n");
        write(row);
    }
    write(QByteArrayLiteral("]\n"));
}

}  // namespace pelloran::cli

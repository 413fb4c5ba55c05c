#include "cli/json_rows.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>
#include <utility>

namespace pelloran::cli {

namespace {

// The characters JSON writes with a short escape; other control characters go as \u00XX.
struct ShortEscape {
    char16_t letter;
    std::string_view text;
};
constexpr ShortEscape kShortEscapes[] = {
    {u'"', "\\\""}, {u'\\', "\\\\"}, {u'\b', "\\b"}, {u'\f', "\\f"},
    {u'\n', "\\n"}, {u'\r', "\\r"},  {u'\t', "\\t"},
};

char hexDigit(unsigned v) {
    return "0123456789abcdef"[v & 0xF];
}

void appendUnicodeEscape(QByteArray& out, char16_t u) {
    out.append("\\u", 2);
    out.append(hexDigit(u >> 12)).append(hexDigit(u >> 8)).append(hexDigit(u >> 4));
    out.append(hexDigit(u));
}

}  // namespace

void appendJsonString(QByteArray& out, QStringView text) {
    out.append('"');
    // Runs of characters that need no escape are converted whole, by Qt's own UTF-8 encoder
    // (a valid surrogate pair among them included); most texts are one such run.
    qsizetype written = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u >= 0x20 && u != u'"' && u != u'\\' && !QChar::isSurrogate(u)) {
            continue;
        }
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        out.append(text.sliced(written, i - written).toUtf8());
        const auto* escape = std::find_if(std::begin(kShortEscapes), std::end(kShortEscapes),
                                          [u](const ShortEscape& e) { return e.letter == u; });
        if (escape != std::end(kShortEscapes)) {
            out.append(escape->text.data(), qsizetype(escape->text.size()));
        } else {
            appendUnicodeEscape(out, u);  // another control character, or a lone surrogate
        }
        written = i + 1;
    }
    out.append(text.sliced(written).toUtf8()).append('"');
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

#include "site/torrent_row_detection.h"

#include "text/regex.h"

namespace pelloran {

namespace {

// An <a> tag whose href (quoted or not) holds a details or download address. The address is
// read lazily up to the first marker, within the attribute value only.
const QString kTorrentLinkPattern = QStringLiteral(
    R"re((?i)<a\b[^>]*?\bhref\s*=\s*["']?[^"'\s>]*?(?:download|details|torrents?/\d|torrent[^"'\s>]*?[?&;]id=\d|\.torrent(?!\w)))re");

// A cell text that is a number and a KB or TB unit ("512.00 KB", "1.2&nbsp;TiB").
const QString kSkippedSizePattern =
    QStringLiteral(R"re((?i)>\s*\d[\d.,]*(?:\s|&nbsp;)*[kt]i?b\s*<)re");

bool matches(const QString& row, const QString& pattern, text::RegexBudget& budget) {
    return !text::captureComponentsMatchedByRegex(row, pattern, budget).isEmpty() &&
           !budget.exhausted();
}

}  // namespace

bool linksToTorrent(const QString& row, text::RegexBudget& budget) {
    return matches(row, kTorrentLinkPattern, budget);
}

bool hasSkippedSizeUnit(const QString& row, text::RegexBudget& budget) {
    return matches(row, kSkippedSizePattern, budget);
}

}  // namespace pelloran

#pragma once
// What the command line prints: tables that fit 100 columns, JSON with the record field names,
// errors as alert title and message on stderr, and a progress line when stderr is a terminal.

#include "site/torrent.h"
#include "site/user_info.h"

#include <QJsonObject>
#include <QString>

namespace pelloran::cli {

inline constexpr int kTableWidth = 100;

void printOut(const QString& text);  // stdout, UTF-8, with a newline
void printError(const QString& title, const QString& message = QString());  // stderr
int usageError(const QString& message);  // prints it with a hint and returns the usage status

// Terminal columns a text takes (East Asian wide letters count two).
int displayWidth(const QString& text);
// Cut (with "…") or padded to exactly `width` columns.
QString fitColumn(const QString& text, int width, bool alignRight = false);

// One line per row: index, the already-sent mark "*", name, size, seeders, leechers, date.
QString torrentTable(const TorrentList& torrents);
// One line per snatch list row: index, name, size, up, down, active, ratio.
QString snatchTable(const TorrentList& torrents);

// The rows as a JSON array on stdout, each written as soon as it is formatted.
void printTorrentsJson(const TorrentList& torrents);
QJsonObject userInfoJson(const UserInfo& info);
QString jsonText(const QJsonArray& array);
QString jsonText(const QJsonObject& object);

// A progress line on stderr, rewritten in place; only when stderr is a terminal.
class ProgressLine {
public:
    ProgressLine();
    ~ProgressLine();
    void show(const QString& text);

private:
    bool enabled_;
    bool shown_ = false;
};

// Reads one line from stdin without its line end (for passwords; never echoed back).
QString readSecretLine();

}  // namespace pelloran::cli

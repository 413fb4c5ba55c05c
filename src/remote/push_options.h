#pragma once
// Where a torrent goes on the member's client and how it starts: a category, tags, a save path
// and "start paused". A field that is absent leaves the client's own default; an empty text or
// list asks for none, so one push can clear a default. Each adapter maps what it supports to
// its own API (bit_client.h says which), and a push asking for something its client does not
// have is refused before anything is sent: never a silent push to the default place.
//
// Small on purpose, so the push log and the screens can include it cheaply. Pure.

#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QJsonObject;

namespace pelloran {

struct PushOptions {
    std::optional<QString> category;  // qBittorrent's category, Deluge's label
    std::optional<QStringList> tags;  // qBittorrent's tags, Transmission's labels
    std::optional<QString> savePath;  // the folder the data goes to
    std::optional<bool> paused;       // added without starting

    // Nothing set: every request stays what it is without options.
    bool isEmpty() const { return !category && !tags && !savePath && !paused; }
    // These options, each field absent here taken from `base`.
    PushOptions over(const PushOptions& base) const;
    // What the client is asked for: a category, tag list or path that is empty asks nothing.
    bool asksCategory() const { return category && !category->isEmpty(); }
    bool asksTags() const { return tags && !tags->isEmpty(); }
    bool asksSavePath() const { return savePath && !savePath->isEmpty(); }

    friend bool operator==(const PushOptions&, const PushOptions&) = default;
};

enum class PushOption { Category, Tags, SavePath, Paused };

// Which options a client has, and its own words for them.
struct PushOptionSupport {
    bool category = false;
    bool tags = false;
    bool savePath = false;
    bool paused = false;
    QLatin1StringView categoryWord{"category"};  // Deluge: "label"
    QLatin1StringView tagsWord{"tags"};          // Transmission: "labels"
    // What the client needs for one of them, shown beside its field ("" when nothing).
    QLatin1StringView note{""};

    bool supports(PushOption option) const;
    bool any() const { return category || tags || savePath || paused; }
};

// The options `options` asks for that the client has not, in PushOption order.
QList<PushOption> unsupportedOptions(const PushOptionSupport& support, const PushOptions& options);

// "Transmission has no category." or "uTorrent has no category, tags or save path.": the
// sentence a refusal before sending says; "" when every asked option is supported.
QString unsupportedOptionsMessage(const QString& clientName, const PushOptionSupport& support,
                                  const PushOptions& options);

// The member's word for an option in messages and on screens: "category", "tags", "save path",
// "start paused" (in the client's own words where it has them).
QString optionWord(const PushOptionSupport& support, PushOption option);

// "a, b ,c" -> ["a", "b", "c"]: tags as typed, split at commas, trimmed, empty ones dropped.
QStringList splitTags(const QString& text);
// "on" / "off" (as the CLI and the settings store write it); absent for anything else.
std::optional<bool> onOffValue(const QString& text);
QString onOffText(bool on);

// One line for the member: "category Movies, tags hd, x264, save path /data, paused"; "" when
// nothing is set. An empty category or path reads "no category", "default save path".
QString describePushOptions(const PushOptions& options, const PushOptionSupport& support = {});

// The options as a JSON object and back (stored filter routes, logs): absent fields stay out;
// fields of another type read as absent.
QJsonObject pushOptionsToJson(const PushOptions& options);
PushOptions pushOptionsFromJson(const QJsonObject& object);
// The same as compact JSON text, as the push log keeps it; "" when nothing is set.
QString pushOptionsText(const PushOptions& options);

}  // namespace pelloran

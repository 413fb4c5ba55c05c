#pragma once
// The push options as the command line takes them: --category C, --tags "a,b", --save-path P,
// and start paused either as --paused on|off (a stored default or a filter's route) or as the
// flags --paused / --no-paused (one push). An empty value asks for none ("--category ''"
// pushes without the default category). Shared by remote set, push and filters add, and by
// remote show, filters and favorites --show-rules, which print them.

#include "cli/command_line.h"
#include "remote/filter_routes.h"
#include "remote/push_options.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace pelloran {
struct BitClientType;
}

namespace pelloran::cli {

enum class PausedStyle {
    OnOff,  // --paused on|off
    Flags,  // --paused, --no-paused
};

// The options of a command taking push options, for its entry in the command table. `what`
// says whose they are: "the default", "this push", "this filter's".
QList<OptionSpec> pushOptionSpecs(PausedStyle style, const QString& what);

// The options given; absent with `error` set ("--paused is on or off", "--paused and
// --no-paused together") when they can't be read.
std::optional<PushOptions> pushOptionsFromFlags(const CommandArgs& args, PausedStyle style,
                                                QString* error);

// Why `options` can't go to a client of `type`: the options it has not ("uTorrent has no
// category.") or a value with a line break; "" when they can, or `type` is null (no client
// chosen yet).
QString pushOptionsRefusal(const BitClientType* type, const PushOptions& options);

// "Category:  Films" lines for remote show: each option the client has, "(client's default)"
// when none is set.
QStringList pushOptionLines(const BitClientType& type, const PushOptions& options);

// "   0 x264  -> category Films; paused": a filter as filters lists it, with its route in the
// words of `words` (the chosen client's: Deluge's category is a label).
QString filterLine(qsizetype row, const Filter& filter, const QList<FilterRoute>& routes,
                   const PushOptionSupport& words);

}  // namespace pelloran::cli

// pelloran-cli: sign in, list, search, scan favorites and push torrents from a terminal, on the
// same settings, cookies and core as the app.

#include "cli/cli_core.h"
#include "cli/cli_output.h"
#include "cli/commands.h"
#include "net/http_engine.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>
#include <optional>

namespace {

using namespace pelloran::cli;

// The table entry whose words begin the command line, the longest such; null when none.
const CommandSpec* findCommand(const QStringList& args) {
    const CommandSpec* found = nullptr;
    for (const CommandSpec& spec : commandTable()) {
        if (args.mid(0, spec.words.size()) == spec.words &&
            (!found || spec.words.size() > found->words.size())) {
            found = &spec;
        }
    }
    return found;
}

// "remote", "set", "show", ...: the sub-commands of a first word, for an error naming them.
QStringList subCommandsOf(const QString& first) {
    QStringList names;
    for (const CommandSpec& spec : commandTable()) {
        if (spec.words.first() == first && spec.words.size() > 1) {
            names.append(spec.words[1]);
        }
    }
    return names;
}

}  // namespace

int main(int argc, char** argv) {
    // The words as QCoreApplication reads them (it takes none away), read before it exists so
    // that a command making exchanges starts loading their engine (libcurl and its thirty
    // libraries) first of all: the load then overlaps the application's own start and the
    // reading of settings and cookies.
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args.append(QString::fromLocal8Bit(argv[i]));
    }
    const bool commandGiven = !args.isEmpty() && !args[0].startsWith(QLatin1Char('-')) &&
                              args[0] != QStringLiteral("help");
    const CommandSpec* spec = commandGiven ? findCommand(args) : nullptr;
    std::optional<pelloran::HttpEngineLoadAhead> engineAhead;
    if (spec && spec->network) {
        // The loader makes Qt objects; this thread must be the one Qt knows as the main one.
        QThread::currentThread();
        engineAhead.emplace();
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pelloran-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PELLORAN_VERSION));
    if (args.isEmpty() || args[0] == QStringLiteral("--help") || args[0] == QStringLiteral("-h") ||
        args[0] == QStringLiteral("help")) {
        std::fputs(overallHelp().toUtf8().constData(), args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? kExitUsage : kExitSuccess;
    }
    if (args[0] == QStringLiteral("--version")) {
        printOut(QStringLiteral("pelloran-cli " PELLORAN_VERSION));
        return kExitSuccess;
    }
    const QStringList subCommands = subCommandsOf(args[0]);
    // A word after a command that has sub-commands names one that doesn't exist.
    const bool unknownSubCommand = !subCommands.isEmpty() && args.size() > 1 &&
                                   !args[1].startsWith(QLatin1Char('-')) &&
                                   (!spec || spec->words.size() == 1);
    if (unknownSubCommand) {
        return usageError(QStringLiteral("%1: unknown command '%2' (use %3)")
                              .arg(args[0], args[1], subCommands.join(QStringLiteral(", "))));
    }
    if (!spec) {
        return usageError(subCommands.isEmpty()
                              ? QStringLiteral("unknown command '%1'").arg(args[0])
                              : QStringLiteral("%1: use %2")
                                    .arg(args[0], subCommands.join(QStringLiteral(", "))));
    }
    CommandArgs commandArgs(*spec);
    if (!commandArgs.parse(args.mid(spec->words.size()))) {
        return commandArgs.usageError(commandArgs.error());
    }
    if (commandArgs.helpAsked()) {
        printOut(commandArgs.helpText().trimmed());
        return kExitSuccess;
    }
    // Built only for a command that will run: a usage error leaves the data folder alone.
    CliCore core;
    return core.finish(spec->run(core, commandArgs));
}

// pelloran-cli's own help and usage errors: every command the overall help lists explains its
// options, and a bad option is named and refused before anything is read or written.

#include "cli/cli_fixture.h"

#include <QDir>
#include <QRegularExpression>

namespace pelloran {
namespace {

struct ListedCommand {
    QStringList words;
    QStringList options;  // "--page", ...
};

// The commands of the overall help: an indented line that starts with the command's words,
// then its positional words in capitals and its options in brackets.
std::vector<ListedCommand> listedCommands(const QString& help) {
    static const QRegularExpression commandLine(QStringLiteral("^  ([a-z][a-z ]*[a-z])(\\s|$)"));
    static const QRegularExpression option(QStringLiteral("\\[(--[a-z-]+)"));
    std::vector<ListedCommand> commands;
    for (const QString& line : help.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = commandLine.match(line);
        if (m.hasMatch()) {
            commands.push_back({m.captured(1).split(QLatin1Char(' ')), {}});
        }
        if (!commands.empty() && line.startsWith(QStringLiteral("  "))) {
            for (const QRegularExpressionMatch& o : option.globalMatch(line)) {
                commands.back().options.append(o.captured(1));
            }
        }
    }
    return commands;
}

TEST_F(CliTest, EveryCommandExplainsItsOptionsAndNamesABadOne) {
    const CliRun overall = cli({QStringLiteral("--help")});
    ASSERT_EQ(overall.exitCode, 0);
    const std::vector<ListedCommand> commands = listedCommands(overall.out);
    ASSERT_GE(commands.size(), 11u) << overall.out.toStdString();
    for (const ListedCommand& command : commands) {
        const QString name = command.words.join(QLatin1Char(' '));
        SCOPED_TRACE(name.toStdString());
        const CliRun help = cli(command.words + QStringList{QStringLiteral("--help")});
        EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: pelloran-cli ") + name))
            << help.out.toStdString();
        for (const QString& option : command.options) {
            EXPECT_TRUE(help.out.contains(option)) << option.toStdString();
        }
        const CliRun bad = cli(command.words + QStringList{QStringLiteral("--no-such-option")});
        EXPECT_EQ(bad.exitCode, 2);
        EXPECT_TRUE(bad.err.contains(QStringLiteral("--no-such-option"))) << bad.err.toStdString();
        EXPECT_TRUE(bad.out.isEmpty()) << bad.out.toStdString();
    }
    // Refused before the command ran: no settings or cookie file was made.
    EXPECT_TRUE(QDir(home.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    EXPECT_TRUE(site.requestLog(QStringLiteral("site")).empty());
}

TEST_F(CliTest, UsageErrorsSayWhatIsWrong) {
    struct Case {
        QStringList args;
        QString said;
    };
    const Case cases[] = {
        {{QStringLiteral("browse"), QStringLiteral("--page")}, QStringLiteral("'--page'")},
        {{QStringLiteral("browse"), QStringLiteral("--page"), QStringLiteral("0")},
         QStringLiteral("--page takes a number from 1 to 1000000")},
        {{QStringLiteral("browse"), QStringLiteral("--json=yes")}, QStringLiteral("'--json'")},
        {{QStringLiteral("search")}, QStringLiteral("missing argument")},
        {{QStringLiteral("history"), QStringLiteral("remove"), QStringLiteral("1"),
          QStringLiteral("2")},
         QStringLiteral("unexpected argument '2'")},
        {{QStringLiteral("remote"), QStringLiteral("bogus")}, QStringLiteral("'bogus'")},
        {{QStringLiteral("settings")}, QStringLiteral("get, set")},
        {{QStringLiteral("filters"), QStringLiteral("add"), QStringLiteral("a)")},
         QStringLiteral("'a)' is not a valid pattern")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(c.said)) << r.err.toStdString();
    }
    // A keyword is judged inside the pattern it is looked for with, as the app judges it:
    // ")(" is no pattern on its own but a valid piece of one.
    const CliRun piece =
        cli({QStringLiteral("filters"), QStringLiteral("add"), QStringLiteral(")(")});
    EXPECT_EQ(piece.exitCode, 0) << piece.err.toStdString();
}

}  // namespace
}  // namespace pelloran

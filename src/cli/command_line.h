#pragma once
// One command of pelloran-cli as the table declares it (command_table.cpp), and its arguments
// read by Qt's option parser: "--name VALUE", "--name=VALUE", "--flag", "--help", positional
// words, and "--" before words that start with a dash.

#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace pelloran::cli {

class CliCore;
class CommandArgs;

// A whole number option's accepted values, checked before the command runs.
struct NumberRange {
    int minimum = 0;
    int maximum = 0;
};

struct OptionSpec {
    QString name;       // without the dashes
    QString valueName;  // "" for a flag
    QString description;
    std::optional<NumberRange> range;  // a whole number from minimum to maximum
};

// Written with designated initializers: every member has a default, so an entry names only
// what it has.
struct CommandSpec {
    QStringList words{};  // "remote", "set"
    QString arguments{};  // the positional words as help shows them: "KEYWORD", "KEY VALUE"
    QString summary{};    // one or more lines for the help texts
    QList<OptionSpec> options{};
    int minPositional = 0;
    int maxPositional = 0;
    int (*run)(CliCore& core, const CommandArgs& args) = nullptr;
    // Whether it makes exchanges: their engine is then loaded while the run starts.
    bool network = false;
    QString section{};  // the heading the command stands under in the overall help
};

class CommandArgs {
public:
    explicit CommandArgs(const CommandSpec& spec);
    CommandArgs(const CommandArgs&) = delete;
    CommandArgs& operator=(const CommandArgs&) = delete;

    // `words` are the arguments after the command's own words. False with error() set for an
    // unknown option, a missing or unexpected value, a number outside its range, or a count of
    // positional words the command doesn't take.
    bool parse(const QStringList& words);
    bool helpAsked() const { return parser_.isSet(QStringLiteral("help")); }
    QString helpText() const;
    QString error() const { return error_; }

    bool isSet(const QString& name) const { return parser_.isSet(name); }
    QString value(const QString& name) const { return parser_.value(name); }
    // A number option (range checked by parse()), or `fallback` when it isn't given.
    int number(const QString& name, int fallback) const;
    QStringList positional() const { return parser_.positionalArguments(); }

    // Prints "pelloran-cli: MESSAGE" and where this command's help is; returns the usage status.
    int usageError(const QString& message) const;

private:
    const CommandSpec& spec_;
    QCommandLineParser parser_;
    QString error_;
};

// "[--name VALUE] [--flag]": what the overall help lists after the command's words.
QString optionSynopsis(const CommandSpec& spec);

}  // namespace pelloran::cli

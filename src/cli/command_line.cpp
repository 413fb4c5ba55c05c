#include "cli/command_line.h"

#include "cli/commands.h"

#include <cstdio>
#include <limits>

namespace pelloran::cli {

namespace {

const QString kHelpName = QStringLiteral("help");

QString commandName(const CommandSpec& spec) {
    return spec.words.join(QLatin1Char(' '));
}

QString rangeText(const NumberRange& range) {
    return range.maximum == std::numeric_limits<int>::max()
               ? QStringLiteral("a number from %1").arg(range.minimum)
               : QStringLiteral("a number from %1 to %2").arg(range.minimum).arg(range.maximum);
}

}  // namespace

CommandArgs::CommandArgs(const CommandSpec& spec) : spec_(spec) {
    parser_.setApplicationDescription(spec.summary);
    parser_.addOption(
        QCommandLineOption({QStringLiteral("h"), kHelpName}, QStringLiteral("Shows this help.")));
    for (const OptionSpec& option : spec.options) {
        QString description = option.description;
        if (option.range) {
            if (description.endsWith(QLatin1Char('.'))) {
                description.chop(1);
            }
            description += QStringLiteral(" (%1).").arg(rangeText(*option.range));
        }
        parser_.addOption(option.valueName.isEmpty()
                              ? QCommandLineOption(option.name, description)
                              : QCommandLineOption(option.name, description, option.valueName));
    }
}

bool CommandArgs::parse(const QStringList& words) {
    const QString name = commandName(spec_);
    if (!parser_.parse(QStringList{QStringLiteral("pelloran-cli")} + words)) {
        const QStringList unknown = parser_.unknownOptionNames();
        QString qtError = parser_.errorText();
        if (!qtError.isEmpty()) {
            qtError[0] = qtError[0].toLower();  // it follows the command's name
        }
        error_ = unknown.isEmpty() ? QStringLiteral("%1: %2").arg(name, qtError)
                                   : QStringLiteral("%1: unknown option %2%3")
                                         .arg(name,
                                              unknown.first().size() == 1 ? QStringLiteral("-")
                                                                          : QStringLiteral("--"),
                                              unknown.first());
        return false;
    }
    if (helpAsked()) {
        return true;  // the rest is not checked: the member asked what it should be
    }
    for (const OptionSpec& option : spec_.options) {
        if (!option.range || !parser_.isSet(option.name)) {
            continue;
        }
        bool parsed = false;
        const int v = parser_.value(option.name).toInt(&parsed);
        if (!parsed || v < option.range->minimum || v > option.range->maximum) {
            error_ = QStringLiteral("%1: --%2 takes %3")
                         .arg(name, option.name, rangeText(*option.range));
            return false;
        }
    }
    const QStringList given = parser_.positionalArguments();
    if (given.size() < spec_.minPositional) {
        error_ = spec_.arguments.isEmpty()
                     ? QStringLiteral("%1: missing argument").arg(name)
                     : QStringLiteral("%1: missing argument (%2)").arg(name, spec_.arguments);
        return false;
    }
    if (given.size() > spec_.maxPositional) {
        error_ = QStringLiteral("%1: unexpected argument '%2'")
                     .arg(name, given.value(spec_.maxPositional));
        return false;
    }
    return true;
}

QString CommandArgs::helpText() const {
    // Qt names the program by how it was started; the member types the command's words.
    QString text = parser_.helpText();
    const qsizetype firstLineEnd = text.indexOf(QLatin1Char('\n'));
    QString usage = QStringLiteral("Usage: pelloran-cli ") + commandName(spec_);
    if (!spec_.options.isEmpty()) {
        usage += QStringLiteral(" [options]");
    }
    if (!spec_.arguments.isEmpty()) {
        usage += QLatin1Char(' ') + spec_.arguments;
    }
    return usage + text.mid(firstLineEnd);
}

int CommandArgs::number(const QString& name, int fallback) const {
    return parser_.isSet(name) ? parser_.value(name).toInt() : fallback;
}

int CommandArgs::usageError(const QString& message) const {
    std::fprintf(stderr, "pelloran-cli: %s\nTry 'pelloran-cli %s --help'.\n",
                 message.toUtf8().constData(), commandName(spec_).toUtf8().constData());
    return kExitUsage;
}

QString optionSynopsis(const CommandSpec& spec) {
    QStringList parts;
    for (const OptionSpec& option : spec.options) {
        parts.append(option.valueName.isEmpty()
                         ? QStringLiteral("[--%1]").arg(option.name)
                         : QStringLiteral("[--%1 %2]").arg(option.name, option.valueName));
    }
    return parts.join(QLatin1Char(' '));
}

}  // namespace pelloran::cli

#include "cli/command_line.h"

namespace pelloran::cli {

bool CommandLine::parse(const QStringList& args, int minPositional, int maxPositional) {
    if (maxPositional == -2) {
        maxPositional = minPositional;
    }
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (optionsEnded || !arg.startsWith(QStringLiteral("--")) || arg.size() == 2) {
            if (arg == QStringLiteral("--") && !optionsEnded) {
                optionsEnded = true;
                continue;
            }
            positional_.append(arg);
            continue;
        }
        QString name = arg.mid(2);
        std::optional<QString> inlineValue;
        if (const qsizetype eq = name.indexOf(QLatin1Char('=')); eq >= 0) {
            inlineValue = name.mid(eq + 1);
            name = name.left(eq);
        }
        if (flags_.contains(name) && !inlineValue) {
            set_.insert(name);
        } else if (valueOptions_.contains(name)) {
            if (!inlineValue && i + 1 >= args.size()) {
                error_ = QStringLiteral("%1: --%2 needs a value (%3)")
                             .arg(command_, name, valueOptions_.value(name));
                return false;
            }
            set_.insert(name);
            values_.insert(name, inlineValue ? *inlineValue : args[++i]);
        } else {
            error_ = QStringLiteral("%1: unknown option --%2").arg(command_, name);
            return false;
        }
    }
    if (positional_.size() < minPositional ||
        (maxPositional >= 0 && positional_.size() > maxPositional)) {
        error_ = positional_.size() < minPositional
                     ? QStringLiteral("%1: missing argument").arg(command_)
                     : QStringLiteral("%1: unexpected argument '%2'")
                           .arg(command_, positional_.value(maxPositional));
        return false;
    }
    return true;
}

std::optional<int> CommandLine::number(const QString& name, int fallback, int minimum,
                                       int maximum) {
    if (!isSet(name)) {
        return fallback;
    }
    bool parsed = false;
    const int v = value(name).toInt(&parsed);
    if (!parsed || v < minimum || v > maximum) {
        error_ =
            maximum == std::numeric_limits<int>::max()
                ? QStringLiteral("%1: --%2 takes a number from %3").arg(command_, name).arg(minimum)
                : QStringLiteral("%1: --%2 takes a number from %3 to %4")
                      .arg(command_, name)
                      .arg(minimum)
                      .arg(maximum);
        return std::nullopt;
    }
    return v;
}

}  // namespace pelloran::cli

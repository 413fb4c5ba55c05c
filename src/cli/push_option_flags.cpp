#include "cli/push_option_flags.h"

#include "cli/cli_output.h"
#include "remote/bit_client.h"
#include "remote/torrent_push.h"

namespace pelloran::cli {

namespace {

const QString kCategory = QStringLiteral("category");
const QString kTags = QStringLiteral("tags");
const QString kSavePath = QStringLiteral("save-path");
const QString kPaused = QStringLiteral("paused");
const QString kNoPaused = QStringLiteral("no-paused");

QString orDefault(const std::optional<QString>& value) {
    return value && !value->isEmpty() ? *value : QStringLiteral("(client's default)");
}

// "Category:  " with the word capitalised and padded so values line up.
QString label(const QString& word) {
    QString text = word;
    text[0] = text[0].toUpper();
    return (text + QLatin1Char(':')).leftJustified(11);
}

}  // namespace

QList<OptionSpec> pushOptionSpecs(PausedStyle style, const QString& what) {
    QList<OptionSpec> specs{
        {kCategory, QStringLiteral("C"),
         QStringLiteral("The category (Deluge: label) of %1; '' for none.").arg(what),
         std::nullopt},
        {kTags, QStringLiteral("T"),
         QStringLiteral("The tags (Transmission: labels) of %1, separated by commas; '' for none.")
             .arg(what),
         std::nullopt},
        {kSavePath, QStringLiteral("P"),
         QStringLiteral("The folder on the client's machine for %1; '' for the client's own.")
             .arg(what),
         std::nullopt}};
    if (style == PausedStyle::OnOff) {
        specs.append(OptionSpec{kPaused, QStringLiteral("on|off"),
                                QStringLiteral("Whether %1 starts paused.").arg(what),
                                std::nullopt});
    } else {
        specs.append(
            OptionSpec{kPaused, QString(), QStringLiteral("Adds it paused."), std::nullopt});
        specs.append(
            OptionSpec{kNoPaused, QString(), QStringLiteral("Adds it started."), std::nullopt});
    }
    return specs;
}

std::optional<PushOptions> pushOptionsFromFlags(const CommandArgs& args, PausedStyle style,
                                                QString* error) {
    const auto value = [&args](const QString& name) {
        return args.isSet(name) ? std::optional<QString>(args.value(name)) : std::nullopt;
    };
    PushOptions options;
    options.category = value(kCategory);
    if (const std::optional<QString> tags = value(kTags)) {
        options.tags = splitTags(*tags);
    }
    options.savePath = value(kSavePath);
    const std::optional<QString> paused = value(kPaused);
    if (style == PausedStyle::OnOff) {
        if (paused) {
            options.paused = onOffValue(*paused);
            if (!options.paused) {
                *error = QStringLiteral("--paused is on or off");
                return std::nullopt;
            }
        }
        return options;
    }
    const bool notPaused = value(kNoPaused).has_value();
    if (paused && notPaused) {
        *error = QStringLiteral("--paused and --no-paused together");
        return std::nullopt;
    }
    if (paused || notPaused) {
        options.paused = paused.has_value();
    }
    return options;
}

QString pushOptionsRefusal(const BitClientType* type, const PushOptions& options) {
    return type ? pushOptionsProblem(*type, options) : QString();
}

QStringList pushOptionLines(const BitClientType& type, const PushOptions& options) {
    const PushOptionSupport& support = type.pushOptions;
    QStringList lines;
    if (support.category) {
        lines.append(label(optionWord(support, PushOption::Category)) +
                     orDefault(options.category));
    }
    if (support.tags) {
        lines.append(label(optionWord(support, PushOption::Tags)) +
                     orDefault(options.tags ? std::optional<QString>(
                                                  options.tags->join(QStringLiteral(", ")))
                                            : std::nullopt));
    }
    if (support.savePath) {
        lines.append(label(QStringLiteral("save path")) + orDefault(options.savePath));
    }
    if (support.paused) {
        lines.append(
            label(QStringLiteral("paused")) +
            (options.paused ? onOffText(*options.paused) : QStringLiteral("(client's default)")));
    }
    return lines;
}

QString filterLine(qsizetype row, const Filter& filter, const QList<FilterRoute>& routes,
                   const PushOptionSupport& words) {
    QString line = fitColumn(QString::number(row), 4, true) + QLatin1Char(' ') + filter.regex();
    const PushOptions route = routeOf(routes, filter.regex());
    if (!route.isEmpty()) {
        line += QStringLiteral("  -> ") + describePushOptions(route, words);
    }
    return line;
}

}  // namespace pelloran::cli

#pragma once
// Options of one command: "--name VALUE", "--name=VALUE" and "--flag", plus positional words.
// Small on purpose: every command has a handful of options and its own positional rules.

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <limits>
#include <optional>

namespace pelloran::cli {

class CommandLine {
public:
    explicit CommandLine(const QString& command) : command_(command) {}

    void addFlag(const QString& name) { flags_.insert(name); }
    void addValueOption(const QString& name, const QString& valueName) {
        valueOptions_.insert(name, valueName);
    }

    // False with error() set for an unknown option, a missing value, or a count of positional
    // words outside minPositional..maxPositional (-1: no limit).
    bool parse(const QStringList& args, int minPositional, int maxPositional = -2);

    bool isSet(const QString& name) const { return set_.contains(name); }
    QString value(const QString& name) const { return values_.value(name); }
    const QStringList& positional() const { return positional_; }
    QString error() const { return error_; }

    // A whole number option from `minimum` to `maximum`; `fallback` when the option isn't
    // given. Absent, with error() set, when it is given but isn't such a number.
    std::optional<int> number(const QString& name, int fallback, int minimum,
                              int maximum = std::numeric_limits<int>::max());

private:
    QString command_;
    QSet<QString> flags_;
    QMap<QString, QString> valueOptions_;
    QSet<QString> set_;
    QMap<QString, QString> values_;
    QStringList positional_;
    QString error_;
};

}  // namespace pelloran::cli

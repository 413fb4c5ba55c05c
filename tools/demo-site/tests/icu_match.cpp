#include "icu_match.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <memory>

namespace pelloran::demo::test {

namespace {

icu::UnicodeString toIcu(const QString& text) {
    return icu::UnicodeString(reinterpret_cast<const char16_t*>(text.utf16()),
                              int32_t(text.size()));
}

QString fromIcu(const icu::UnicodeString& text) {
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

std::unique_ptr<icu::RegexMatcher> matcher(const QString& pattern,
                                           const icu::UnicodeString& subject) {
    UErrorCode status = U_ZERO_ERROR;
    auto m = std::make_unique<icu::RegexMatcher>(toIcu(pattern), 0, status);
    if (U_FAILURE(status)) {
        return nullptr;
    }
    m->reset(subject);
    return m;
}

}  // namespace

std::vector<QStringList> icuMatches(const QString& subject, const QString& pattern) {
    const icu::UnicodeString text = toIcu(subject);
    std::vector<QStringList> out;
    auto m = matcher(pattern, text);
    if (!m) {
        return out;
    }
    UErrorCode status = U_ZERO_ERROR;
    while (m->find(status) && U_SUCCESS(status)) {
        QStringList groups;
        for (int32_t g = 0; g <= m->groupCount(); ++g) {
            groups << fromIcu(m->group(g, status));
        }
        out.push_back(groups);
    }
    return out;
}

QStringList icuFirstMatch(const QString& subject, const QString& pattern) {
    const std::vector<QStringList> all = icuMatches(subject, pattern);
    return all.empty() ? QStringList() : all.front();
}

QString icuRemoveAll(const QString& subject, const QString& pattern) {
    const icu::UnicodeString text = toIcu(subject);
    auto m = matcher(pattern, text);
    if (!m) {
        return subject;
    }
    UErrorCode status = U_ZERO_ERROR;
    return fromIcu(m->replaceAll(icu::UnicodeString(), status));
}

}  // namespace pelloran::demo::test

#pragma once
// The table of named HTML character references used when decoding page text. Constant data,
// safe from any thread.

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace pelloran::text {

struct HtmlEntity {
    std::u16string_view reference;  // with its delimiters, e.g. u"&amp;"
    char16_t codeUnit;              // the one UTF-16 code unit it stands for
};

inline constexpr std::size_t kHtmlEntityCount = 253;

// Every entry, ordered by code point: "&quot;" (34) first, "&diams;" (9830) last.
std::span<const HtmlEntity> htmlEntities();

// The code unit of a complete reference ("&lt;"), compared exactly, letter case included.
std::optional<char16_t> htmlEntityCodeUnit(std::u16string_view reference);

}  // namespace pelloran::text

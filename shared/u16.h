#pragma once
// UTF-16 helpers for device paths, registry values and names.

#include <cstddef>
#include <string>

namespace tav {

// ASCII letter case folding, as the system's case-insensitive compares treat these paths.
char16_t FoldCase(char16_t c);

// True when the first `count` units of `text` equal those of `prefix`, letter case ignored.
// A text shorter than `count` never matches (unless prefix is shorter too and both end).
bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix);
inline bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

// Length of a NUL-terminated UTF-16 text.
size_t U16Length(const char16_t* text);

// Lossy conversions for logs, demo output and tests (non-ASCII becomes UTF-8 / '?').
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

}  // namespace tav

#pragma once
// Cutting 8-bit ANSI code page text to a byte budget without splitting a character: a
// double-byte character whose lead byte would be the last byte that fits is left out
// whole, so the printer never receives half of one.

#include <cstddef>
#include <functional>
#include <string>

namespace tav::setup {

// The longest prefix of `text` that fits `maxBytes` and ends at a character boundary.
// `isLeadByte` is the code page's lead-byte test (IsDBCSLeadByte on Windows). A lead byte
// without its trail byte at the very end of `text` is left out too.
std::string CutAnsiText(const std::string& text, size_t maxBytes,
                        const std::function<bool(unsigned char)>& isLeadByte);

// Lead bytes of code page 932 (Shift JIS): 0x81-0x9F and 0xE0-0xFC.
bool IsCodePage932LeadByte(unsigned char byte);

}  // namespace tav::setup

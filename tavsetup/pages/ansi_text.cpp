#include "tavsetup/pages/ansi_text.h"

namespace tav::setup {

std::string CutAnsiText(const std::string& text, size_t maxBytes,
                        const std::function<bool(unsigned char)>& isLeadByte) {
    size_t end = 0;
    while (end < text.size()) {
        const size_t width = isLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + width > maxBytes || end + width > text.size())
            break;
        end += width;
    }
    return text.substr(0, end);
}

bool IsCodePage932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace tav::setup

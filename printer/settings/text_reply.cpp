#include "printer/settings/text_reply.h"

#include <cstring>

#include "printer/settings/settings_requests.h"

namespace tav::setup {

bool TextReplyFramer::Feed(const uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count && !m_ended; ++i) {
        const uint8_t b = bytes[i];
        if (!m_framed) {
            m_framed = (b == kStx);
        } else if (b == 0x00) {
            m_ended = true;
        } else if (m_length + 1 < kPrinterTextFieldSize) {
            m_text[m_length++] = static_cast<char>(b);  // characters beyond 31 are cut
        }
    }
    return m_ended;
}

void CopyFramedText(const TextReplyFramer& framer, PrinterTextField& field) {
    if (framer.Length() == 0)
        return;
    std::memcpy(field, framer.Text(), framer.Length());
    field[framer.Length()] = '\0';
}

}  // namespace tav::setup

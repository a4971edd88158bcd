#pragma once
// Framing of a text reply: any bytes, STX, the text, NUL. Bytes before the STX are
// skipped; the first NUL after it ends the text and nothing behind it is looked at.
// The reply may arrive over several reads; feed each read's bytes in order.

#include <cstddef>
#include <cstdint>

namespace tav::setup {

// The 32-byte result field holds the text and its terminator.
inline constexpr size_t kPrinterTextFieldSize = 32;
using PrinterTextField = char[kPrinterTextFieldSize];

class TextReplyFramer {
  public:
    // Scans the next bytes of the reply. Returns true once the text has ended (and
    // ignores everything fed after that).
    bool Feed(const uint8_t* bytes, size_t count);
    bool Ended() const { return m_ended; }
    bool Framed() const { return m_framed; }
    // The text so far, NUL-terminated; a longer text is cut to its first 31 characters.
    const char* Text() const { return m_text; }
    size_t Length() const { return m_length; }

  private:
    bool m_framed = false;
    bool m_ended = false;
    size_t m_length = 0;
    char m_text[kPrinterTextFieldSize] = {};
};

// Copies the framed text into a result field (always terminated). An empty text leaves
// the field as it is.
void CopyFramedText(const TextReplyFramer& framer, PrinterTextField& field);

}  // namespace tav::setup

// Any command line: the scan ends, reads nothing past the text, and a line that names no
// switch token gives None.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tavportsvc/host/command_line.h"

namespace {

char16_t AsciiUpper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string line(size / 2, u'\0');
    for (size_t i = 0; i < line.size(); ++i)
        line[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    auto found = tav::portsvc::host::ScanCommandLine(line, AsciiUpper);
    if (line.find(u'-') == std::u16string::npos && line.find(u'/') == std::u16string::npos &&
        found != tav::portsvc::host::CommandSwitch::None)
        __builtin_trap();
    return 0;
}

#include "tools/demo_sim/timeline.h"

#include <cstdio>

namespace tav::demo {

std::string DescribeBytes(const void* data, uint32_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::string hex;
    std::string ascii;
    for (uint32_t i = 0; i < size; ++i) {
        char text[4];
        std::snprintf(text, sizeof text, "%02X", bytes[i]);
        if (i)
            hex += ' ';
        hex += text;
        ascii += bytes[i] >= 0x20 && bytes[i] < 0x7F ? static_cast<char>(bytes[i]) : '.';
    }
    return hex + " \"" + ascii + "\"";
}

}  // namespace tav::demo

#pragma once
// A GUID with the Windows layout, usable in portable code.

#include <cstdint>
#include <string>

namespace tav {

struct Guid {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};

constexpr bool operator==(const Guid& a, const Guid& b) {
    if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3)
        return false;
    for (int i = 0; i < 8; ++i) {
        if (a.data4[i] != b.data4[i])
            return false;
    }
    return true;
}
constexpr bool operator!=(const Guid& a, const Guid& b) {
    return !(a == b);
}

// "{A4C7E912-3F58-4B06-9D2E-61B0F7C3D845}" (upper-case hex, braces).
std::u16string GuidToString(const Guid& g);

}  // namespace tav

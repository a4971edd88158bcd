#pragma once
// SetupAPI flags that both programs' device enumerations pass on unchanged.

#include <cstdint>

namespace tav {

inline constexpr uint32_t kDigcfPresent = 0x02;
inline constexpr uint32_t kDigcfDeviceInterface = 0x10;

}  // namespace tav

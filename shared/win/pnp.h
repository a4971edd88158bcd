#pragma once
// Configuration manager results and flags.

#include <cstdint>

namespace tav::win {

inline constexpr uint32_t kCrSuccess = 0;
inline constexpr uint32_t kCmLocateDevnodeNormal = 0;
inline constexpr uint32_t kCmReenumerateNormal = 0;
inline constexpr uint32_t kMaxDeviceIdLen = 200;

}  // namespace tav::win

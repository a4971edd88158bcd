#pragma once
// File attributes and path limits.

#include <cstdint>

namespace tav::win {

inline constexpr uint32_t kMaxPath = 260;
inline constexpr uint32_t kFileAttributeDirectory = 0x10;
inline constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFF;

}  // namespace tav::win

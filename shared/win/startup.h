#pragma once
// Process start: common controls registration and security descriptor strings.

#include <cstdint>

namespace tav::win {

// sizeof(INITCOMMONCONTROLSEX) and ICC_WIN95_CLASSES.
inline constexpr uint32_t kInitCommonControlsSize = 8;
inline constexpr uint32_t kIccWin95Classes = 0xFF;

inline constexpr uint32_t kSddlRevision1 = 1;

}  // namespace tav::win

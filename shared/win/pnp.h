#pragma once
// Configuration manager results and flags.

#include <cstdint>

namespace tav::win {

inline constexpr uint32_t kCrSuccess = 0;
inline constexpr uint32_t kCmLocateDevnodeNormal = 0;
inline constexpr uint32_t kCmReenumerateNormal = 0;
inline constexpr uint32_t kMaxDeviceIdLen = 200;
// CM_Get_DevNode_Status: a node that is not present has no status (CR_NO_SUCH_DEVINST).
inline constexpr uint32_t kCrInvalidDevnode = 0x05;
inline constexpr uint32_t kCrNoSuchDevinst = 0x0D;
inline constexpr uint32_t kDnDriverLoaded = 0x00000002;
inline constexpr uint32_t kDnStarted = 0x00000008;
inline constexpr uint32_t kDnHasProblem = 0x00000400;

}  // namespace tav::win

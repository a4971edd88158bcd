#pragma once
// Handle values, standard access rights and wait results as the portable code carries them.
// A handle is an opaque pointer-sized value; the adapters cast it to the Windows type.

#include <cstdint>

namespace tav::win {

// HANDLE, HKEY, HDEVINFO, HDEVNOTIFY, SC_HANDLE, ... as plain values; 0 is none (NULL).
using Handle = uintptr_t;
inline constexpr Handle kNoHandle = 0;
// INVALID_HANDLE_VALUE: (HANDLE)(LONG_PTR)-1.
inline constexpr Handle kInvalidHandleValue = ~static_cast<uintptr_t>(0);

// A 32-bit handle constant widened as the SDK widens it: (HANDLE)(ULONG_PTR)(LONG)value, so
// the top bit is repeated through the upper half on a 64-bit build.
constexpr Handle SignExtendedHandle(uint32_t value) {
    return static_cast<Handle>(static_cast<intptr_t>(static_cast<int32_t>(value)));
}

// Standard access rights.
inline constexpr uint32_t kDelete = 0x00010000;
inline constexpr uint32_t kSynchronize = 0x00100000;

// WaitForSingleObject / WaitForMultipleObjects results and timeout.
inline constexpr uint32_t kWaitObject0 = 0;
inline constexpr uint32_t kWaitAbandoned = 0x80;
inline constexpr uint32_t kWaitTimeout = 258;
inline constexpr uint32_t kWaitFailed = 0xFFFFFFFF;
inline constexpr uint32_t kInfinite = 0xFFFFFFFF;

}  // namespace tav::win

#pragma once
// Registry keys, access rights, options and value types.

#include <cstdint>

#include "shared/win/handles.h"

namespace tav::win {

// The predefined keys, sign-extended like the SDK's HKEY_* on a 64-bit build.
inline constexpr Handle kHkeyClassesRoot = SignExtendedHandle(0x80000000u);
inline constexpr Handle kHkeyCurrentUser = SignExtendedHandle(0x80000001u);
inline constexpr Handle kHkeyLocalMachine = SignExtendedHandle(0x80000002u);
inline constexpr Handle kHkeyUsers = SignExtendedHandle(0x80000003u);

inline constexpr uint32_t kKeyQueryValue = 0x0001;
inline constexpr uint32_t kKeySetValue = 0x0002;
inline constexpr uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr uint32_t kKeyRead = 0x20019;
inline constexpr uint32_t kKeyWrite = 0x20006;

inline constexpr uint32_t kRegOptionNonVolatile = 0;

inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegMultiSz = 7;

// RegGetValueW type restriction.
inline constexpr uint32_t kRrfRtRegSz = 0x00000002;

}  // namespace tav::win

#pragma once
// Where a port's link lives: the REG_SZ value "SymbolicLink" in the subkey "Tavportsvc" of
// the port's hardware key, holding the printer's device interface path with its NUL.

#include <cstdint>

#include "portlink/core/platform_types.h"
#include "shared/names.h"

namespace tav::portsvc {

inline constexpr const char16_t* kLinkSubKey = kServiceName;
inline constexpr char16_t kLinkValueName[] = u"SymbolicLink";
// A link is read into 520 bytes: 259 characters and the NUL.
inline constexpr uint32_t kLinkReadLimitBytes = 520;
inline constexpr uint32_t kLinkMaxChars = kLinkReadLimitBytes / 2 - 1;
// A read buffer: the limit and one unit beyond it that stays NUL.
inline constexpr uint32_t kLinkBufferUnits = kLinkReadLimitBytes / 2 + 1;
// Access to the port's hardware key and to the link subkey.
inline constexpr uint32_t kPortKeyAccess =
    win::kKeyQueryValue | win::kKeySetValue | win::kKeyCreateSubKey;
inline constexpr uint32_t kLinkKeyAccess = win::kKeyQueryValue | win::kKeySetValue;

}  // namespace tav::portsvc

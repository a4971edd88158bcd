#pragma once
// WritePortLink: creates or opens the link subkey under a port's hardware key and sets
// "SymbolicLink" to the printer's path.

#include "portlink/core/interface_walk.h"

namespace tav::portsvc {

// Returns the Win32 error code, 0 on success; the subkey is closed on every path.
[[nodiscard]] uint32_t WritePortLink(PassContext& ctx, PlatformHandle portKey,
                                     const char16_t* printerPath);

}  // namespace tav::portsvc

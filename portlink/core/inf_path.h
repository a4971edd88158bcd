#pragma once
// The port driver's INF path: the 32-bit program files folder followed by the package's
// relative path, in win::kMaxPath units.

#include "portlink/core/interface_walk.h"

namespace tav::portsvc {

inline constexpr char16_t kInfRelativePath[] = u"\\TAV\\HX Series Printer\\Tavport\\Tavport.inf";

// Fills `path` (win::kMaxPath units). A missing folder is traced (event 16) and leaves the
// relative part alone. A result that does not fit leaves `path` empty, so installation
// refuses it while the pass goes on linking.
void BuildInfPath(PassContext& ctx, char16_t* path);

}  // namespace tav::portsvc

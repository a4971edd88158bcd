#pragma once
// Whether the setup utility runs: it holds its named mutex for its whole run. The probe
// takes the mutex with a zero time-out and gives it back at once, so it never blocks.

#include "portlink/core/interface_walk.h"

namespace tav::portsvc {

// True when the utility holds its mutex (traced as event 20). A mutex that cannot be
// opened for a reason other than not existing is traced (event 21) and counts as free.
[[nodiscard]] bool SetupUtilityRunning(PassContext& ctx);

}  // namespace tav::portsvc

#pragma once
// One reconcile pass: reads ports and printers afresh, links every unlinked printer to the
// first free port, and creates a port when none is free. `lock` is the reconcile event:
// the pass holds it from the wait to its end and releases it only if it took it.

#include "portlink/core/interface_walk.h"

namespace tav::portsvc {

void RunReconcilePass(PassContext& ctx, PlatformHandle lock);

}  // namespace tav::portsvc

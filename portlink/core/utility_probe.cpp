#include "portlink/core/utility_probe.h"

#include "portlink/core/owned_handles.h"
#include "shared/last_error.h"
#include "shared/names.h"
#include "shared/win/errors.h"

namespace tav::portsvc {

bool SetupUtilityRunning(PassContext& ctx) {
    SyncApi& sync = *ctx.platform.sync;
    OwnedSyncObject mutex(sync, sync.OpenNamedMutex(win::kSynchronize, false, kSetupMutexName));
    if (!mutex) {
        uint32_t error = GetLastErrorCode();
        if (error != win::kErrorFileNotFound && error != win::kErrorNotFound)
            ctx.trace.Emit<service_event::kUtilityMutexOpenFailed>(error);
        return false;
    }
    uint32_t wait = sync.WaitForObject(mutex.get(), 0);
    if (wait == win::kWaitTimeout) {
        mutex.reset();
        ctx.trace.Emit<service_event::kUtilityRunning>();
        return true;
    }
    // Free or abandoned: the wait made this thread its owner. A failed release leaves
    // nothing more to try; closing the handle follows either way.
    if (wait == win::kWaitObject0 || wait == win::kWaitAbandoned)
        static_cast<void>(sync.ReleaseOwnedMutex(mutex.get()));
    return false;
}

}  // namespace tav::portsvc

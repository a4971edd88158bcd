#include "tavportsvc/core/utility_probe.h"

#include "shared/last_error.h"
#include "shared/names.h"
#include "shared/win32_errors.h"

namespace tav {

bool SetupUtilityRunning(PassContext& ctx) {
    SyncApi& sync = *ctx.platform.sync;
    PlatformHandle mutex = sync.OpenNamedMutex(kSynchronize, false, kSetupMutexName);
    if (mutex == kNoHandle) {
        uint32_t error = GetLastErrorCode();
        if (error != kErrorFileNotFound && error != kErrorNotFound)
            ctx.trace.Emit<service_event::kUtilityMutexOpenFailed>(error);
        return false;
    }
    uint32_t wait = sync.WaitForObject(mutex, 0);
    if (wait == kWaitTimeout) {
        sync.CloseObject(mutex);
        ctx.trace.Emit<service_event::kUtilityRunning>();
        return true;
    }
    // Free or abandoned: the wait made this thread its owner.
    if (wait == kWaitObject0 || wait == kWaitAbandoned)
        sync.ReleaseOwnedMutex(mutex);
    sync.CloseObject(mutex);
    return false;
}

}  // namespace tav

#include "tavportsvc/core/utility_probe.h"

#include "shared/last_error.h"
#include "shared/names.h"
#include "shared/win/errors.h"

namespace tav {

bool SetupUtilityRunning(PassContext& ctx) {
    SyncApi& sync = *ctx.platform.sync;
    PlatformHandle mutex = sync.OpenNamedMutex(win::kSynchronize, false, kSetupMutexName);
    if (mutex == win::kNoHandle) {
        uint32_t error = GetLastErrorCode();
        if (error != win::kErrorFileNotFound && error != win::kErrorNotFound)
            ctx.trace.Emit(TraceModule::kService, service_event::kUtilityMutexOpenFailed,
                           win::kTraceLevelInformation, error);
        return false;
    }
    uint32_t wait = sync.WaitForObject(mutex, 0);
    if (wait == win::kWaitTimeout) {
        sync.CloseObject(mutex);
        ctx.trace.Emit(TraceModule::kService, service_event::kUtilityRunning,
                       win::kTraceLevelInformation);
        return true;
    }
    // Free or abandoned: the wait made this thread its owner.
    if (wait == win::kWaitObject0 || wait == win::kWaitAbandoned)
        sync.ReleaseOwnedMutex(mutex);
    sync.CloseObject(mutex);
    return false;
}

}  // namespace tav

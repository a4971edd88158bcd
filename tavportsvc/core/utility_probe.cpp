#include "tavportsvc/core/utility_probe.h"

#include "shared/last_error.h"
#include "shared/names.h"
#include "shared/win32_errors.h"
#include "tavportsvc/core/owned_handles.h"

namespace tav {

bool SetupUtilityRunning(PassContext& ctx) {
    SyncApi& sync = *ctx.platform.sync;
    OwnedSyncObject mutex(sync, sync.OpenNamedMutex(kSynchronize, false, kSetupMutexName));
    if (!mutex) {
        uint32_t error = GetLastErrorCode();
        if (error != kErrorFileNotFound && error != kErrorNotFound)
            ctx.trace.Emit(TraceModule::kService, service_event::kUtilityMutexOpenFailed,
                           kTraceLevelInformation, error);
        return false;
    }
    uint32_t wait = sync.WaitForObject(mutex.get(), 0);
    if (wait == kWaitTimeout) {
        mutex.reset();
        ctx.trace.Emit(TraceModule::kService, service_event::kUtilityRunning,
                       kTraceLevelInformation);
        return true;
    }
    // Free or abandoned: the wait made this thread its owner. A failed release leaves
    // nothing more to try; closing the handle follows either way.
    if (wait == kWaitObject0 || wait == kWaitAbandoned)
        static_cast<void>(sync.ReleaseOwnedMutex(mutex.get()));
    return false;
}

}  // namespace tav

#pragma once
// Events and the probe of the setup utility's mutex. Failures leave the reason in the
// thread's last error.

#include "portlink/core/platform_types.h"

namespace tav::portsvc {

class SyncApi {
  public:
    virtual ~SyncApi() = default;

    // CreateEventW(no security, manualReset, initialState, no name); win::kNoHandle on failure.
    [[nodiscard]] virtual PlatformHandle CreateUnnamedEvent(bool manualReset,
                                                            bool initialState) = 0;
    // WaitForSingleObject: win::kWaitObject0, win::kWaitAbandoned, win::kWaitTimeout or
    // win::kWaitFailed.
    [[nodiscard]] virtual uint32_t WaitForObject(PlatformHandle handle, uint32_t milliseconds) = 0;
    // SetEvent.
    virtual bool SignalEvent(PlatformHandle handle) = 0;
    // OpenMutexW(access, inherit, name); win::kNoHandle on failure.
    [[nodiscard]] virtual PlatformHandle OpenNamedMutex(uint32_t access, bool inherit,
                                                        const char16_t* name) = 0;
    // ReleaseMutex.
    virtual bool ReleaseOwnedMutex(PlatformHandle handle) = 0;
    // CloseHandle.
    virtual bool CloseObject(PlatformHandle handle) = 0;
};

}  // namespace tav::portsvc

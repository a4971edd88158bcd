#pragma once
// The port driver check's platform in the demo's world: the driver store holds the port
// driver's package where the service installs ports from, and no folder is listed (the
// consoles know where the INF is).

#include <string>

#include "printer/settings/driver_package.h"
#include "shared/win/errors.h"
#include "sim/ports/sim_port_world.h"

namespace tav::demo {

// The driver store holds the port driver's package where the service installs ports from.
class PortDriverStore : public setup::DriverStore {
  public:
    uint32_t DriverPackageGetPath(const std::u16string& infPath, char16_t*,
                                  uint32_t* numChars) override {
        if (infPath != sim::kSimInfPath)
            return win::kErrorDriverPackageNotInStore;
        *numChars = 64;
        return win::kErrorInsufficientBuffer;
    }
    // Asked only where difxapi.dll is missing, which it is not here.
    int InfDriverStoreLocation(const std::u16string&, char16_t*, uint32_t, uint32_t*) override {
        return 0;
    }
};

// The port side knows where the INF is, so it lists no folders.
class NoFiles : public setup::FileSystem {
  public:
    setup::Handle FindFirst(const std::u16string&, setup::FindEntry&) override {
        return win::kNoHandle;
    }
    bool FindNext(setup::Handle, setup::FindEntry&) override { return false; }
    bool CloseFind(setup::Handle) override { return false; }
    bool FileExists(const std::u16string&) override { return false; }
    uint32_t SystemDirectory(char16_t*, uint32_t) override { return 0; }
    uint32_t WindowsDirectory(char16_t*, uint32_t) override { return 0; }
    uint32_t ModuleFileName(char16_t*, uint32_t) override { return 0; }
};

class NoDebugOutput : public setup::DebugOutput {
  public:
    void Write(const char16_t*) override {}
};

}  // namespace tav::demo

#pragma once
// DriverStore over difxapi.dll's DriverPackageGetPathW, bound by name at each query (the
// library is not in the import libraries and may be missing), and SetupAPI's
// SetupGetInfDriverStoreLocationW; DebugOutput over OutputDebugStringW.

#include "printer/settings/driver_store.h"

namespace tav::setup {

class Win32DriverStore : public DriverStore {
  public:
    // A library or function that cannot be bound gives the loader's error code.
    uint32_t DriverPackageGetPath(const std::u16string& infPath, char16_t* destination,
                                  uint32_t* numChars) override;
    int InfDriverStoreLocation(const std::u16string& infName, char16_t* buffer, uint32_t size,
                               uint32_t* required) override;
};

class Win32DebugOutput : public DebugOutput {
  public:
    void Write(const char16_t* text) override;
};

}  // namespace tav::setup

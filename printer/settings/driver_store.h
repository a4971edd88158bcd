#pragma once
// The driver store queries (difxapi's DriverPackageGetPathW, bound at the moment of use, and
// SetupAPI's SetupGetInfDriverStoreLocationW) and the debug output the lookup writes its
// failures to.

#include <cstdint>
#include <string>

#include "shared/win/errors.h"

namespace tav::setup {

// The driver store's answer that counts as a too-small buffer, like 122 (not an SDK name).
inline constexpr uint32_t kErrorDriverStoreInsufficientBuffer = 0xE0000244;

class DriverStore {
  public:
    virtual ~DriverStore() = default;
    // DriverPackageGetPathW(infPath, destination, numChars): a Win32 or setup error code.
    // With no destination and *numChars 0 it asks only for the length of the stored path.
    // A difxapi.dll that cannot be loaded gives LoadLibraryW's error (ERROR_MOD_NOT_FOUND
    // where the library is absent), one without the function GetProcAddress's.
    virtual uint32_t DriverPackageGetPath(const std::u16string& infPath, char16_t* destination,
                                          uint32_t* numChars) = 0;
    // SetupGetInfDriverStoreLocationW(infName, NULL, NULL, buffer, size, required): nonzero
    // on success, else 0 with the thread's last error. `infName` names an INF in the system
    // INF folder (its published name, e.g. "oem3.inf") or the full path of one in the store;
    // the answer is the store copy's full path, which keeps the package INF's own file name.
    virtual int InfDriverStoreLocation(const std::u16string& infName, char16_t* buffer,
                                       uint32_t size, uint32_t* required) = 0;
};

class DebugOutput {
  public:
    virtual ~DebugOutput() = default;
    // OutputDebugStringW.
    virtual void Write(const char16_t* text) = 0;
};

}  // namespace tav::setup

#pragma once
// The driver store query (difxapi's DriverPackageGetPathW, bound at the moment of use)
// and the debug output the lookup writes its failures to.

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
    virtual uint32_t DriverPackageGetPath(const std::u16string& infPath, char16_t* destination,
                                          uint32_t* numChars) = 0;
};

class DebugOutput {
  public:
    virtual ~DebugOutput() = default;
    // OutputDebugStringW.
    virtual void Write(const char16_t* text) = 0;
};

}  // namespace tav::setup

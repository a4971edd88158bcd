#pragma once
// Reading one interface's detail: the path, and the owning device when asked.

#include <cstdint>
#include <string>

#include "printer/link/device_setup.h"

namespace tav::setup {

// The size query, a zero-filled allocation of that size, the detail call. False on any
// failure (8 when the allocation fails), with the thread's last error set.
[[nodiscard]] bool ReadInterfaceDetail(DeviceSetup& setup, Handle set,
                                       const win::DeviceInterfaceData& data, std::u16string* pPath,
                                       win::DevInfoData* pDevice);

// The NUL-terminated path inside a detail record of `size` bytes, never read beyond it.
std::u16string PathFromDetail(const uint8_t* detail, uint32_t size);

}  // namespace tav::setup

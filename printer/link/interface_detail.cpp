#include "printer/link/interface_detail.h"

#include <cstring>
#include <stdexcept>
#include <vector>

#include "shared/last_error.h"
#include "shared/win/errors.h"

namespace tav::setup {
namespace {

// The size field and at least the terminating NUL of the path.
constexpr uint32_t kSmallestDetail = win::kInterfaceDetailPathOffset + sizeof(char16_t);

}  // namespace

std::u16string PathFromDetail(const uint8_t* detail, uint32_t size) {
    std::u16string path;
    for (uint32_t at = win::kInterfaceDetailPathOffset; at + sizeof(char16_t) <= size;
         at += sizeof(char16_t)) {
        char16_t c;
        std::memcpy(&c, detail + at, sizeof c);
        if (c == 0)
            break;
        path += c;
    }
    return path;
}

bool ReadInterfaceDetail(DeviceSetup& setup, Handle set, const win::DeviceInterfaceData& data,
                         std::u16string* pPath, win::DevInfoData* pDevice) {
    uint32_t required = 0;
    setup.GetDeviceInterfaceDetail(set, data, nullptr, 0, &required, nullptr);
    if (required == 0)
        return false;
    if (required < kSmallestDetail) {
        SetLastErrorCode(win::kErrorInsufficientBuffer);
        return false;
    }
    std::vector<uint8_t> detail;
    try {
        detail.resize(required);
    } catch (const std::exception&) {  // no memory, or more than one allocation can hold
        SetLastErrorCode(win::kErrorNotEnoughMemory);
        return false;
    }
    std::memcpy(detail.data(), &win::kInterfaceDetailRecordSize,
                sizeof win::kInterfaceDetailRecordSize);
    if (!setup.GetDeviceInterfaceDetail(set, data, detail.data(), required, nullptr, pDevice))
        return false;
    if (pPath)
        *pPath = PathFromDetail(detail.data(), required);
    return true;
}

}  // namespace tav::setup

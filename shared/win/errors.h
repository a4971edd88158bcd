#pragma once
// Win32 error codes and HRESULTs the logic of both programs uses. Interfaces keep Windows'
// numeric results so the logic reads like the behaviour.

#include <cstdint>

namespace tav::win {

inline constexpr uint32_t kErrorSuccess = 0;
inline constexpr uint32_t kErrorInvalidFunction = 1;
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorInvalidHandle = 6;
inline constexpr uint32_t kErrorNotEnoughMemory = 8;
inline constexpr uint32_t kErrorOutOfMemory = 14;
inline constexpr uint32_t kErrorGenFailure = 31;
inline constexpr uint32_t kErrorNotSupported = 50;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorInsufficientBuffer = 122;
inline constexpr uint32_t kErrorInvalidName = 123;
inline constexpr uint32_t kErrorModNotFound = 126;
inline constexpr uint32_t kErrorAlreadyExists = 183;
inline constexpr uint32_t kErrorFilenameExcedRange = 206;
inline constexpr uint32_t kErrorMoreData = 234;
inline constexpr uint32_t kErrorNoMoreItems = 259;
inline constexpr uint32_t kErrorOperationAborted = 995;
inline constexpr uint32_t kErrorIoIncomplete = 996;
inline constexpr uint32_t kErrorIoPending = 997;
inline constexpr uint32_t kErrorServiceRequestTimeout = 1053;
inline constexpr uint32_t kErrorFailedServiceControllerConnect = 1063;
inline constexpr uint32_t kErrorServiceAlreadyRunning = 1056;
inline constexpr uint32_t kErrorServiceDoesNotExist = 1060;
inline constexpr uint32_t kErrorServiceNotActive = 1062;
inline constexpr uint32_t kErrorServiceMarkedForDelete = 1072;
inline constexpr uint32_t kErrorServiceExists = 1073;
inline constexpr uint32_t kErrorNotFound = 1168;
inline constexpr uint32_t kErrorDeviceNotConnected = 1167;
inline constexpr uint32_t kErrorUnsupportedType = 1630;
inline constexpr uint32_t kRpcSServerUnavailable = 1722;
inline constexpr uint32_t kErrorResourceNameNotFound = 1814;
inline constexpr uint32_t kErrorCantAccessFile = 1920;

// SetupAPI errors (APPLICATION_ERROR_MASK | ERROR_SEVERITY_ERROR | n).
inline constexpr uint32_t kErrorInWow64 = 0xE0000235;
inline constexpr uint32_t kErrorDriverPackageNotInStore = 0xE0000302;

using HResult = int32_t;
inline constexpr HResult kSOk = 0;
inline constexpr HResult kSFalse = 1;
inline constexpr HResult kEFail = static_cast<HResult>(0x80004005);
inline constexpr HResult kDispEException = static_cast<HResult>(0x80020009);
inline constexpr HResult kRpcEChangedMode = static_cast<HResult>(0x80010106);

// HRESULT_FROM_WIN32: 0 stays 0; otherwise 0x8007 in the high half, the code in the low 16 bits.
constexpr HResult HResultFromWin32(uint32_t error) {
    return error == 0 ? kSOk : static_cast<HResult>((error & 0xFFFFu) | 0x80070000u);
}

}  // namespace tav::win

// Pins shared/win/errors.h to the SDK's values.
#include <windows.h>
// (after windows.h)
#include <setupapi.h>

#include "shared/win/errors.h"

namespace tav::win {

static_assert(kErrorSuccess == ERROR_SUCCESS, "ERROR_SUCCESS");
static_assert(kErrorInvalidFunction == ERROR_INVALID_FUNCTION, "ERROR_INVALID_FUNCTION");
static_assert(kErrorFileNotFound == ERROR_FILE_NOT_FOUND, "ERROR_FILE_NOT_FOUND");
static_assert(kErrorPathNotFound == ERROR_PATH_NOT_FOUND, "ERROR_PATH_NOT_FOUND");
static_assert(kErrorAccessDenied == ERROR_ACCESS_DENIED, "ERROR_ACCESS_DENIED");
static_assert(kErrorInvalidHandle == ERROR_INVALID_HANDLE, "ERROR_INVALID_HANDLE");
static_assert(kErrorNotEnoughMemory == ERROR_NOT_ENOUGH_MEMORY, "ERROR_NOT_ENOUGH_MEMORY");
static_assert(kErrorOutOfMemory == ERROR_OUTOFMEMORY, "ERROR_OUTOFMEMORY");
static_assert(kErrorGenFailure == ERROR_GEN_FAILURE, "ERROR_GEN_FAILURE");
static_assert(kErrorNotSupported == ERROR_NOT_SUPPORTED, "ERROR_NOT_SUPPORTED");
static_assert(kErrorInvalidParameter == ERROR_INVALID_PARAMETER, "ERROR_INVALID_PARAMETER");
static_assert(kErrorInsufficientBuffer == ERROR_INSUFFICIENT_BUFFER, "ERROR_INSUFFICIENT_BUFFER");
static_assert(kErrorInvalidName == ERROR_INVALID_NAME, "ERROR_INVALID_NAME");
static_assert(kErrorModNotFound == ERROR_MOD_NOT_FOUND, "ERROR_MOD_NOT_FOUND");
static_assert(kErrorAlreadyExists == ERROR_ALREADY_EXISTS, "ERROR_ALREADY_EXISTS");
static_assert(kErrorFilenameExcedRange == ERROR_FILENAME_EXCED_RANGE, "ERROR_FILENAME_EXCED_RANGE");
static_assert(kErrorMoreData == ERROR_MORE_DATA, "ERROR_MORE_DATA");
static_assert(kErrorNoMoreItems == ERROR_NO_MORE_ITEMS, "ERROR_NO_MORE_ITEMS");
static_assert(kErrorOperationAborted == ERROR_OPERATION_ABORTED, "ERROR_OPERATION_ABORTED");
static_assert(kErrorIoIncomplete == ERROR_IO_INCOMPLETE, "ERROR_IO_INCOMPLETE");
static_assert(kErrorIoPending == ERROR_IO_PENDING, "ERROR_IO_PENDING");
static_assert(kErrorServiceRequestTimeout == ERROR_SERVICE_REQUEST_TIMEOUT,
              "ERROR_SERVICE_REQUEST_TIMEOUT");
static_assert(kErrorFailedServiceControllerConnect == ERROR_FAILED_SERVICE_CONTROLLER_CONNECT,
              "ERROR_FAILED_SERVICE_CONTROLLER_CONNECT");
static_assert(kErrorServiceAlreadyRunning == ERROR_SERVICE_ALREADY_RUNNING,
              "ERROR_SERVICE_ALREADY_RUNNING");
static_assert(kErrorServiceDoesNotExist == ERROR_SERVICE_DOES_NOT_EXIST,
              "ERROR_SERVICE_DOES_NOT_EXIST");
static_assert(kErrorServiceNotActive == ERROR_SERVICE_NOT_ACTIVE, "ERROR_SERVICE_NOT_ACTIVE");
static_assert(kErrorServiceMarkedForDelete == ERROR_SERVICE_MARKED_FOR_DELETE,
              "ERROR_SERVICE_MARKED_FOR_DELETE");
static_assert(kErrorServiceExists == ERROR_SERVICE_EXISTS, "ERROR_SERVICE_EXISTS");
static_assert(kErrorNotFound == ERROR_NOT_FOUND, "ERROR_NOT_FOUND");
static_assert(kErrorDeviceNotConnected == ERROR_DEVICE_NOT_CONNECTED, "ERROR_DEVICE_NOT_CONNECTED");
static_assert(kErrorUnsupportedType == ERROR_UNSUPPORTED_TYPE, "ERROR_UNSUPPORTED_TYPE");
static_assert(kRpcSServerUnavailable == RPC_S_SERVER_UNAVAILABLE, "RPC_S_SERVER_UNAVAILABLE");
static_assert(kErrorResourceNameNotFound == ERROR_RESOURCE_NAME_NOT_FOUND,
              "ERROR_RESOURCE_NAME_NOT_FOUND");
static_assert(kErrorCantAccessFile == ERROR_CANT_ACCESS_FILE, "ERROR_CANT_ACCESS_FILE");
static_assert(kErrorInWow64 == static_cast<uint32_t>(ERROR_IN_WOW64), "ERROR_IN_WOW64");
#ifdef ERROR_DRIVER_PACKAGE_NOT_IN_STORE  // newer SDKs only
static_assert(kErrorDriverPackageNotInStore ==
                  static_cast<uint32_t>(ERROR_DRIVER_PACKAGE_NOT_IN_STORE),
              "ERROR_DRIVER_PACKAGE_NOT_IN_STORE");
#else
static_assert(kErrorDriverPackageNotInStore ==
                  static_cast<uint32_t>(APPLICATION_ERROR_MASK | ERROR_SEVERITY_ERROR | 0x302),
              "ERROR_DRIVER_PACKAGE_NOT_IN_STORE");
#endif

static_assert(sizeof(HResult) == sizeof(HRESULT), "HRESULT size");
static_assert(kSOk == S_OK, "S_OK");
static_assert(kSFalse == S_FALSE, "S_FALSE");
static_assert(kEFail == E_FAIL, "E_FAIL");
static_assert(kDispEException == DISP_E_EXCEPTION, "DISP_E_EXCEPTION");
static_assert(kRpcEChangedMode == RPC_E_CHANGED_MODE, "RPC_E_CHANGED_MODE");
static_assert(HResultFromWin32(ERROR_ACCESS_DENIED) == __HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED),
              "HRESULT_FROM_WIN32");
static_assert(HResultFromWin32(ERROR_SUCCESS) == __HRESULT_FROM_WIN32(ERROR_SUCCESS),
              "HRESULT_FROM_WIN32(0)");

}  // namespace tav::win

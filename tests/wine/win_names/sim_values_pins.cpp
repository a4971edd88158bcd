// Pins the simulated world's own copies of Windows' values (sim/windows_values.h) to the SDK's,
// so that a wrong copy fails both Windows builds instead of making the simulation refuse with
// the wrong code. The interface and setup class GUIDs are objects, not constants, in the SDK:
// win_names_check.cpp compares those at run time.
//
// Deliberately not pinned, because Windows has no name for them:
//   kPrinterDriverInterface  the printer vendor's own interface class, not the SDK's.

// The headers name RRF_SUBKEY_WOW64* only for Windows 10 targets; this file only compares
// values, so it may see every name whatever version the programs target.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0A00
#include <windows.h>
// (after windows.h)
#include <cfgmgr32.h>
#include <newdev.h>
#include <setupapi.h>
#include <winioctl.h>
#include <winspool.h>
// (after winioctl.h)
#include <usbprint.h>

#include <cstdint>

#include "sim/windows_values.h"

namespace tav::sim::sdk {

// USB printing class control codes.
static_assert(kIoctlGet1284Id == IOCTL_USBPRINT_GET_1284_ID, "IOCTL_USBPRINT_GET_1284_ID");
static_assert(kIoctlVendorGetCommand == IOCTL_USBPRINT_VENDOR_GET_COMMAND,
              "IOCTL_USBPRINT_VENDOR_GET_COMMAND");

// Access rights.
static_assert(kGenericRead == GENERIC_READ, "GENERIC_READ");
static_assert(kGenericWrite == GENERIC_WRITE, "GENERIC_WRITE");
static_assert(kGenericExecute == GENERIC_EXECUTE, "GENERIC_EXECUTE");
static_assert(kGenericAll == GENERIC_ALL, "GENERIC_ALL");
static_assert(kMaximumAllowed == MAXIMUM_ALLOWED, "MAXIMUM_ALLOWED");
static_assert(kStandardRightsRequired == STANDARD_RIGHTS_REQUIRED, "STANDARD_RIGHTS_REQUIRED");
static_assert(kSynchronize == SYNCHRONIZE, "SYNCHRONIZE");
static_assert(kMutexModifyState == MUTEX_MODIFY_STATE, "MUTEX_MODIFY_STATE");
static_assert(kMutexAllAccess == MUTEX_ALL_ACCESS, "MUTEX_ALL_ACCESS");
static_assert(kEventModifyState == EVENT_MODIFY_STATE, "EVENT_MODIFY_STATE");
static_assert(kEventAllAccess == EVENT_ALL_ACCESS, "EVENT_ALL_ACCESS");

// CreateFileW share modes and flags.
static_assert(kFileShareRead == FILE_SHARE_READ, "FILE_SHARE_READ");
static_assert(kFileShareWrite == FILE_SHARE_WRITE, "FILE_SHARE_WRITE");
static_assert(kFileShareDelete == FILE_SHARE_DELETE, "FILE_SHARE_DELETE");
static_assert(kFileFlagOverlapped == FILE_FLAG_OVERLAPPED, "FILE_FLAG_OVERLAPPED");

// SetupDiGetClassDevsW flags.
static_assert(kDigcfDefault == DIGCF_DEFAULT, "DIGCF_DEFAULT");
static_assert(kDigcfPresent == DIGCF_PRESENT, "DIGCF_PRESENT");
static_assert(kDigcfAllClasses == DIGCF_ALLCLASSES, "DIGCF_ALLCLASSES");
static_assert(kDigcfProfile == DIGCF_PROFILE, "DIGCF_PROFILE");
static_assert(kDigcfDeviceInterface == DIGCF_DEVICEINTERFACE, "DIGCF_DEVICEINTERFACE");
static_assert(kErrorInvalidFlags == ERROR_INVALID_FLAGS, "ERROR_INVALID_FLAGS");

// Configuration manager flags and results.
static_assert(kCmLocateDevnodeNormal == CM_LOCATE_DEVNODE_NORMAL, "CM_LOCATE_DEVNODE_NORMAL");
static_assert(kCmLocateDevnodePhantom == CM_LOCATE_DEVNODE_PHANTOM, "CM_LOCATE_DEVNODE_PHANTOM");
static_assert(kCmLocateDevnodeBits == CM_LOCATE_DEVNODE_BITS, "CM_LOCATE_DEVNODE_BITS");
static_assert(kCmReenumerateNormal == CM_REENUMERATE_NORMAL, "CM_REENUMERATE_NORMAL");
static_assert(kCmReenumerateAsynchronous == CM_REENUMERATE_ASYNCHRONOUS,
              "CM_REENUMERATE_ASYNCHRONOUS");
static_assert(kCmReenumerateBits == CM_REENUMERATE_BITS, "CM_REENUMERATE_BITS");
static_assert(kCrInvalidPointer == CR_INVALID_POINTER, "CR_INVALID_POINTER");
static_assert(kCrInvalidFlag == CR_INVALID_FLAG, "CR_INVALID_FLAG");
static_assert(kCrInvalidDevnode == CR_INVALID_DEVNODE, "CR_INVALID_DEVNODE");
static_assert(kCrNoSuchDevnode == CR_NO_SUCH_DEVNODE, "CR_NO_SUCH_DEVNODE");
static_assert(kCrBufferSmall == CR_BUFFER_SMALL, "CR_BUFFER_SMALL");

// Device installation.
static_assert(kDicdGenerateId == DICD_GENERATE_ID, "DICD_GENERATE_ID");
static_assert(kDicdInheritClassDrvs == DICD_INHERIT_CLASSDRVS, "DICD_INHERIT_CLASSDRVS");
static_assert(kDifRegisterDevice == DIF_REGISTERDEVICE, "DIF_REGISTERDEVICE");
static_assert(kSpdrpHardwareId == SPDRP_HARDWAREID, "SPDRP_HARDWAREID");
#ifdef SPDRP_BASE_CONTAINERID
static_assert(kSpdrpMaximumProperty == SPDRP_MAXIMUM_PROPERTY, "SPDRP_MAXIMUM_PROPERTY");
#else
// Older setupapi.h stops at SPDRP_LOCATION_PATHS; SPDRP_BASE_CONTAINERID is the last ordinal
// and each CM_DRP_ is its SPDRP_ plus one, so the bound is CM_DRP_BASE_CONTAINERID.
static_assert(kSpdrpMaximumProperty == CM_DRP_BASE_CONTAINERID, "SPDRP_MAXIMUM_PROPERTY");
#endif
static_assert(kInstallFlagForce == INSTALLFLAG_FORCE, "INSTALLFLAG_FORCE");
static_assert(kInstallFlagReadOnly == INSTALLFLAG_READONLY, "INSTALLFLAG_READONLY");
static_assert(kInstallFlagNonInteractive == INSTALLFLAG_NONINTERACTIVE,
              "INSTALLFLAG_NONINTERACTIVE");
static_assert(kErrorInvalidDevinstName == static_cast<uint32_t>(ERROR_INVALID_DEVINST_NAME),
              "ERROR_INVALID_DEVINST_NAME");
static_assert(kErrorInvalidRegProperty == static_cast<uint32_t>(ERROR_INVALID_REG_PROPERTY),
              "ERROR_INVALID_REG_PROPERTY");
static_assert(kErrorNoSuchDevinst == static_cast<uint32_t>(ERROR_NO_SUCH_DEVINST),
              "ERROR_NO_SUCH_DEVINST");

// Driver store.
static_assert(kMaxPath == MAX_PATH, "MAX_PATH");
static_assert(kErrorFileNotFound == ERROR_FILE_NOT_FOUND, "ERROR_FILE_NOT_FOUND");
static_assert(kErrorInsufficientBuffer == ERROR_INSUFFICIENT_BUFFER, "ERROR_INSUFFICIENT_BUFFER");
static_assert(kErrorModNotFound == ERROR_MOD_NOT_FOUND, "ERROR_MOD_NOT_FOUND");
static_assert(kErrorCantAccessFile == ERROR_CANT_ACCESS_FILE, "ERROR_CANT_ACCESS_FILE");
#ifdef ERROR_DRIVER_PACKAGE_NOT_IN_STORE  // newer SDKs only
static_assert(kErrorDriverPackageNotInStore ==
                  static_cast<uint32_t>(ERROR_DRIVER_PACKAGE_NOT_IN_STORE),
              "ERROR_DRIVER_PACKAGE_NOT_IN_STORE");
#else
static_assert(kErrorDriverPackageNotInStore ==
                  static_cast<uint32_t>(APPLICATION_ERROR_MASK | ERROR_SEVERITY_ERROR | 0x302),
              "ERROR_DRIVER_PACKAGE_NOT_IN_STORE");
#endif

// Spooler.
static_assert(kPrinterEnumBits ==
                  (PRINTER_ENUM_DEFAULT | PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS |
                   PRINTER_ENUM_FAVORITE | PRINTER_ENUM_NAME | PRINTER_ENUM_REMOTE |
                   PRINTER_ENUM_SHARED | PRINTER_ENUM_NETWORK | PRINTER_ENUM_EXPAND |
                   PRINTER_ENUM_CONTAINER | PRINTER_ENUM_ICONMASK),
              "PRINTER_ENUM_DEFAULT .. PRINTER_ENUM_ICON8");
static_assert(kErrorInvalidLevel == ERROR_INVALID_LEVEL, "ERROR_INVALID_LEVEL");
static_assert(kErrorInvalidEnvironment == ERROR_INVALID_ENVIRONMENT, "ERROR_INVALID_ENVIRONMENT");

// Standard rights.
static_assert(kDelete == DELETE, "DELETE");
static_assert(kReadControl == READ_CONTROL, "READ_CONTROL");
static_assert(kWriteDac == WRITE_DAC, "WRITE_DAC");
static_assert(kWriteOwner == WRITE_OWNER, "WRITE_OWNER");

// Registry key rights.
static_assert(kKeyQueryValue == KEY_QUERY_VALUE, "KEY_QUERY_VALUE");
static_assert(kKeySetValue == KEY_SET_VALUE, "KEY_SET_VALUE");
static_assert(kKeyCreateSubKey == KEY_CREATE_SUB_KEY, "KEY_CREATE_SUB_KEY");
static_assert(kKeyEnumerateSubKeys == KEY_ENUMERATE_SUB_KEYS, "KEY_ENUMERATE_SUB_KEYS");
static_assert(kKeyNotify == KEY_NOTIFY, "KEY_NOTIFY");
static_assert(kKeyCreateLink == KEY_CREATE_LINK, "KEY_CREATE_LINK");
static_assert(kKeyWow64_64Key == KEY_WOW64_64KEY, "KEY_WOW64_64KEY");
static_assert(kKeyWow64_32Key == KEY_WOW64_32KEY, "KEY_WOW64_32KEY");
static_assert(kKeyRead == KEY_READ, "KEY_READ");
static_assert(kKeyWrite == KEY_WRITE, "KEY_WRITE");
static_assert(kKeyAllAccess == KEY_ALL_ACCESS, "KEY_ALL_ACCESS");

// RegCreateKeyExW options.
static_assert(kRegOptionNonVolatile == REG_OPTION_NON_VOLATILE, "REG_OPTION_NON_VOLATILE");
static_assert(kRegOptionVolatile == REG_OPTION_VOLATILE, "REG_OPTION_VOLATILE");

// Registry value types and RegGetValueW flags.
static_assert(kRegNone == REG_NONE, "REG_NONE");
static_assert(kRegSz == REG_SZ, "REG_SZ");
static_assert(kRegExpandSz == REG_EXPAND_SZ, "REG_EXPAND_SZ");
static_assert(kRegBinary == REG_BINARY, "REG_BINARY");
static_assert(kRegDword == REG_DWORD, "REG_DWORD");
static_assert(kRegMultiSz == REG_MULTI_SZ, "REG_MULTI_SZ");
static_assert(kRegQword == REG_QWORD, "REG_QWORD");
static_assert(kRrfRtRegNone == RRF_RT_REG_NONE, "RRF_RT_REG_NONE");
static_assert(kRrfRtRegSz == RRF_RT_REG_SZ, "RRF_RT_REG_SZ");
static_assert(kRrfRtRegExpandSz == RRF_RT_REG_EXPAND_SZ, "RRF_RT_REG_EXPAND_SZ");
static_assert(kRrfRtRegBinary == RRF_RT_REG_BINARY, "RRF_RT_REG_BINARY");
static_assert(kRrfRtRegDword == RRF_RT_REG_DWORD, "RRF_RT_REG_DWORD");
static_assert(kRrfRtRegMultiSz == RRF_RT_REG_MULTI_SZ, "RRF_RT_REG_MULTI_SZ");
static_assert(kRrfRtRegQword == RRF_RT_REG_QWORD, "RRF_RT_REG_QWORD");
static_assert(kRrfRtAny == RRF_RT_ANY, "RRF_RT_ANY");
static_assert(kRrfSubkeyWow6464Key == RRF_SUBKEY_WOW6464KEY, "RRF_SUBKEY_WOW6464KEY");
static_assert(kRrfSubkeyWow6432Key == RRF_SUBKEY_WOW6432KEY, "RRF_SUBKEY_WOW6432KEY");
static_assert(kRrfNoExpand == RRF_NOEXPAND, "RRF_NOEXPAND");
static_assert(kRrfZeroOnFailure == RRF_ZEROONFAILURE, "RRF_ZEROONFAILURE");

// Service control manager rights.
static_assert(kScManagerConnect == SC_MANAGER_CONNECT, "SC_MANAGER_CONNECT");
static_assert(kScManagerCreateService == SC_MANAGER_CREATE_SERVICE, "SC_MANAGER_CREATE_SERVICE");
static_assert(kScManagerEnumerateService == SC_MANAGER_ENUMERATE_SERVICE,
              "SC_MANAGER_ENUMERATE_SERVICE");
static_assert(kScManagerLock == SC_MANAGER_LOCK, "SC_MANAGER_LOCK");
static_assert(kScManagerQueryLockStatus == SC_MANAGER_QUERY_LOCK_STATUS,
              "SC_MANAGER_QUERY_LOCK_STATUS");
static_assert(kScManagerModifyBootConfig == SC_MANAGER_MODIFY_BOOT_CONFIG,
              "SC_MANAGER_MODIFY_BOOT_CONFIG");
static_assert(kScManagerAllAccess == SC_MANAGER_ALL_ACCESS, "SC_MANAGER_ALL_ACCESS");

// Service rights.
static_assert(kServiceQueryConfig == SERVICE_QUERY_CONFIG, "SERVICE_QUERY_CONFIG");
static_assert(kServiceChangeConfig == SERVICE_CHANGE_CONFIG, "SERVICE_CHANGE_CONFIG");
static_assert(kServiceQueryStatus == SERVICE_QUERY_STATUS, "SERVICE_QUERY_STATUS");
static_assert(kServiceEnumerateDependents == SERVICE_ENUMERATE_DEPENDENTS,
              "SERVICE_ENUMERATE_DEPENDENTS");
static_assert(kServiceStart == SERVICE_START, "SERVICE_START");
static_assert(kServiceStop == SERVICE_STOP, "SERVICE_STOP");
static_assert(kServicePauseContinue == SERVICE_PAUSE_CONTINUE, "SERVICE_PAUSE_CONTINUE");
static_assert(kServiceInterrogate == SERVICE_INTERROGATE, "SERVICE_INTERROGATE");
static_assert(kServiceUserDefinedControl == SERVICE_USER_DEFINED_CONTROL,
              "SERVICE_USER_DEFINED_CONTROL");
static_assert(kServiceAllAccess == SERVICE_ALL_ACCESS, "SERVICE_ALL_ACCESS");

// Service states and the stop control.
static_assert(kServiceStopped == SERVICE_STOPPED, "SERVICE_STOPPED");
static_assert(kServiceStartPending == SERVICE_START_PENDING, "SERVICE_START_PENDING");
static_assert(kServiceStopPending == SERVICE_STOP_PENDING, "SERVICE_STOP_PENDING");
static_assert(kServiceRunning == SERVICE_RUNNING, "SERVICE_RUNNING");
static_assert(kServiceControlStop == SERVICE_CONTROL_STOP, "SERVICE_CONTROL_STOP");
static_assert(kServiceWin32OwnProcess == SERVICE_WIN32_OWN_PROCESS, "SERVICE_WIN32_OWN_PROCESS");

// SetupDiOpenDevRegKey scopes and key types.
static_assert(kDicsFlagGlobal == DICS_FLAG_GLOBAL, "DICS_FLAG_GLOBAL");
static_assert(kDicsFlagConfigSpecific == DICS_FLAG_CONFIGSPECIFIC, "DICS_FLAG_CONFIGSPECIFIC");
static_assert(kDiregDev == DIREG_DEV, "DIREG_DEV");
static_assert(kDiregDrv == DIREG_DRV, "DIREG_DRV");

// Error codes the checks give.
static_assert(kErrorAccessDenied == ERROR_ACCESS_DENIED, "ERROR_ACCESS_DENIED");
static_assert(kErrorInvalidParameter == ERROR_INVALID_PARAMETER, "ERROR_INVALID_PARAMETER");
static_assert(kErrorInvalidName == ERROR_INVALID_NAME, "ERROR_INVALID_NAME");
static_assert(kErrorChildMustBeVolatile == ERROR_CHILD_MUST_BE_VOLATILE,
              "ERROR_CHILD_MUST_BE_VOLATILE");
static_assert(kErrorDatabaseDoesNotExist == ERROR_DATABASE_DOES_NOT_EXIST,
              "ERROR_DATABASE_DOES_NOT_EXIST");
static_assert(kErrorServiceMarkedForDelete == ERROR_SERVICE_MARKED_FOR_DELETE,
              "ERROR_SERVICE_MARKED_FOR_DELETE");
static_assert(kErrorUnsupportedType == ERROR_UNSUPPORTED_TYPE, "ERROR_UNSUPPORTED_TYPE");

}  // namespace tav::sim::sdk

#pragma once
// Who may do what to a registry key or a service control manager object, in one table for
// every simulated registry and service manager. The values are the simulated world's own
// copies of Windows' numbers, never the product's, so that a wrong constant in the product
// cannot move the simulated world with it.

#include <cstdint>

namespace tav::sim {

namespace win {

// Standard rights.
inline constexpr uint32_t kDelete = 0x00010000;
inline constexpr uint32_t kReadControl = 0x00020000;
inline constexpr uint32_t kWriteDac = 0x00040000;
inline constexpr uint32_t kWriteOwner = 0x00080000;

// Registry key rights.
inline constexpr uint32_t kKeyQueryValue = 0x0001;
inline constexpr uint32_t kKeySetValue = 0x0002;
inline constexpr uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr uint32_t kKeyNotify = 0x0010;
inline constexpr uint32_t kKeyCreateLink = 0x0020;
inline constexpr uint32_t kKeyWow64_64Key = 0x0100;
inline constexpr uint32_t kKeyWow64_32Key = 0x0200;
inline constexpr uint32_t kKeyRead = 0x00020019;
inline constexpr uint32_t kKeyWrite = 0x00020006;
inline constexpr uint32_t kKeyAllAccess = 0x000F003F;

// RegCreateKeyExW options.
inline constexpr uint32_t kRegOptionNonVolatile = 0x0;
inline constexpr uint32_t kRegOptionVolatile = 0x1;

// Registry value types and RegGetValueW flags.
inline constexpr uint32_t kRegNone = 0;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegMultiSz = 7;
inline constexpr uint32_t kRegQword = 11;
inline constexpr uint32_t kRrfRtRegNone = 0x00000001;
inline constexpr uint32_t kRrfRtRegSz = 0x00000002;
inline constexpr uint32_t kRrfRtRegExpandSz = 0x00000004;
inline constexpr uint32_t kRrfRtRegBinary = 0x00000008;
inline constexpr uint32_t kRrfRtRegDword = 0x00000010;
inline constexpr uint32_t kRrfRtRegMultiSz = 0x00000020;
inline constexpr uint32_t kRrfRtRegQword = 0x00000040;
inline constexpr uint32_t kRrfRtAny = 0x0000FFFF;
inline constexpr uint32_t kRrfSubkeyWow6464Key = 0x00010000;
inline constexpr uint32_t kRrfSubkeyWow6432Key = 0x00020000;
inline constexpr uint32_t kRrfNoExpand = 0x10000000;
inline constexpr uint32_t kRrfZeroOnFailure = 0x20000000;

// Service control manager rights.
inline constexpr uint32_t kScManagerConnect = 0x0001;
inline constexpr uint32_t kScManagerCreateService = 0x0002;
inline constexpr uint32_t kScManagerEnumerateService = 0x0004;
inline constexpr uint32_t kScManagerLock = 0x0008;
inline constexpr uint32_t kScManagerQueryLockStatus = 0x0010;
inline constexpr uint32_t kScManagerModifyBootConfig = 0x0020;
inline constexpr uint32_t kScManagerAllAccess = 0x000F003F;

// Service rights.
inline constexpr uint32_t kServiceQueryConfig = 0x0001;
inline constexpr uint32_t kServiceChangeConfig = 0x0002;
inline constexpr uint32_t kServiceQueryStatus = 0x0004;
inline constexpr uint32_t kServiceEnumerateDependents = 0x0008;
inline constexpr uint32_t kServiceStart = 0x0010;
inline constexpr uint32_t kServiceStop = 0x0020;
inline constexpr uint32_t kServicePauseContinue = 0x0040;
inline constexpr uint32_t kServiceInterrogate = 0x0080;
inline constexpr uint32_t kServiceUserDefinedControl = 0x0100;
inline constexpr uint32_t kServiceAllAccess = 0x000F01FF;

// Service states and the stop control.
inline constexpr uint32_t kServiceStopped = 1;
inline constexpr uint32_t kServiceStartPending = 2;
inline constexpr uint32_t kServiceStopPending = 3;
inline constexpr uint32_t kServiceRunning = 4;
inline constexpr uint32_t kServiceControlStop = 1;
inline constexpr uint32_t kServiceWin32OwnProcess = 0x10;

// SetupDiOpenDevRegKey scopes and key types.
inline constexpr uint32_t kDicsFlagGlobal = 0x1;
inline constexpr uint32_t kDicsFlagConfigSpecific = 0x2;
inline constexpr uint32_t kDiregDev = 0x1;
inline constexpr uint32_t kDiregDrv = 0x2;

// Error codes the checks give.
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorInvalidName = 123;
inline constexpr uint32_t kErrorInvalidFlags = 1004;
inline constexpr uint32_t kErrorChildMustBeVolatile = 1021;
inline constexpr uint32_t kErrorDatabaseDoesNotExist = 1065;
inline constexpr uint32_t kErrorServiceMarkedForDelete = 1072;
inline constexpr uint32_t kErrorUnsupportedType = 1630;

}  // namespace win

// Whose token a simulated call runs with.
enum class SimCaller {
    kAdministrator,  // an elevated administrator
    kLocalSystem,    // the service as the service control manager starts it
    kStandardUser,   // an ordinary shell, or an administrator not elevated
};

// The operations that need a right of the handle they act on (or, for a key's deletion,
// of the caller on the key itself).
enum class KeyOperation {
    kQueryValue,        // RegGetValueW, RegQueryValueExW
    kSetValue,          // RegSetValueExW
    kDeleteValue,       // RegDeleteValueW
    kCreateSubKey,      // RegCreateKeyExW, on the parent
    kEnumerateSubKeys,  // RegEnumKeyExW
    kQueryInfo,         // RegQueryInfoKeyW
    kDeleteKey,         // RegDeleteKeyW: the key is opened for DELETE by the call itself
};

enum class ScOperation {
    kConnect,            // OpenServiceW on a manager handle
    kCreateService,      // CreateServiceW
    kEnumerateServices,  // EnumServicesStatusExW
    kQueryStatus,        // QueryServiceStatus
    kQueryConfig,        // QueryServiceConfigW
    kChangeConfig,       // ChangeServiceConfig2W
    kStart,              // StartServiceW
    kStop,               // ControlService(SERVICE_CONTROL_STOP)
    kInterrogate,        // ControlService(SERVICE_CONTROL_INTERROGATE)
    kDelete,             // DeleteService
};

uint32_t RequiredRight(KeyOperation operation);
uint32_t RequiredRight(ScOperation operation);

// 0 when `granted` holds the right the operation needs, else ERROR_ACCESS_DENIED.
uint32_t CheckRight(uint32_t granted, KeyOperation operation);
uint32_t CheckRight(uint32_t granted, ScOperation operation);

// The access a caller gets when asking for `requested`: 0 with `granted` set, 87 for bits
// outside the object's rights, 5 for more than the caller may have. Machine keys (HKLM, the
// machine part of HKCR, device keys) are read-only to a standard user; user keys are not.
uint32_t GrantKeyAccess(SimCaller caller, bool machineKey, uint32_t requested, uint32_t& granted);
// OpenSCManagerW: SC_MANAGER_CONNECT is implied by the call.
uint32_t GrantManagerAccess(SimCaller caller, uint32_t requested, uint32_t& granted);
// OpenServiceW and CreateServiceW.
uint32_t GrantServiceAccess(SimCaller caller, uint32_t requested, uint32_t& granted);

// What the caller's token may get on a machine key; also what a predefined root grants.
uint32_t MaximumKeyAccess(SimCaller caller, bool machineKey);

}  // namespace tav::sim

#pragma once
// Who may do what to a registry key or a service control manager object, in one table for
// every simulated registry and service manager, over the simulated world's own copies of
// Windows' numbers (sim/windows_values.h).

#include <cstdint>

#include "sim/windows_values.h"

namespace tav::sim {

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

#include "sim/access_rights.h"

namespace tav::sim {
namespace {

using namespace sdk;

struct KeyRight {
    KeyOperation operation;
    uint32_t right;
};

// The rights the registry functions document for the key handle they are given.
constexpr KeyRight kKeyRights[] = {
    {KeyOperation::kQueryValue, kKeyQueryValue},
    {KeyOperation::kSetValue, kKeySetValue},
    {KeyOperation::kDeleteValue, kKeySetValue},
    {KeyOperation::kCreateSubKey, kKeyCreateSubKey},
    {KeyOperation::kEnumerateSubKeys, kKeyEnumerateSubKeys},
    {KeyOperation::kQueryInfo, kKeyQueryValue},
    {KeyOperation::kDeleteKey, kDelete},
};

struct ScRight {
    ScOperation operation;
    uint32_t right;
};

constexpr ScRight kScRights[] = {
    {ScOperation::kConnect, kScManagerConnect},
    {ScOperation::kCreateService, kScManagerCreateService},
    {ScOperation::kEnumerateServices, kScManagerEnumerateService},
    {ScOperation::kQueryStatus, kServiceQueryStatus},
    {ScOperation::kQueryConfig, kServiceQueryConfig},
    {ScOperation::kChangeConfig, kServiceChangeConfig},
    {ScOperation::kStart, kServiceStart},
    {ScOperation::kStop, kServiceStop},
    {ScOperation::kInterrogate, kServiceInterrogate},
    {ScOperation::kDelete, kDelete},
};

// Generic rights and MAXIMUM_ALLOWED are valid on Windows, but our code never asks for
// them, so the simulated world refuses them with 87 like any other bit it does not know.
constexpr uint32_t kValidKeyBits = kKeyAllAccess | kKeyWow64_64Key | kKeyWow64_32Key;
constexpr uint32_t kKeyViewBits = kKeyWow64_64Key | kKeyWow64_32Key;

// What a standard user gets by default: read on machine keys; connect, enumerate and the
// lock status on the manager; the query rights on a service.
constexpr uint32_t kStandardManagerAccess =
    kScManagerConnect | kScManagerEnumerateService | kScManagerQueryLockStatus | kReadControl;
constexpr uint32_t kStandardServiceAccess = kServiceQueryConfig | kServiceQueryStatus |
                                            kServiceEnumerateDependents | kServiceInterrogate |
                                            kServiceUserDefinedControl | kReadControl;

bool Privileged(SimCaller caller) {
    return caller != SimCaller::kStandardUser;
}

uint32_t Grant(uint32_t requested, uint32_t validBits, uint32_t allowed, uint32_t& granted) {
    granted = 0;
    if ((requested & ~validBits) != 0)
        return kErrorInvalidParameter;
    if ((requested & ~allowed) != 0)
        return kErrorAccessDenied;
    granted = requested;
    return 0;
}

}  // namespace

uint32_t RequiredRight(KeyOperation operation) {
    for (const auto& entry : kKeyRights) {
        if (entry.operation == operation)
            return entry.right;
    }
    return kKeyAllAccess;
}

uint32_t RequiredRight(ScOperation operation) {
    for (const auto& entry : kScRights) {
        if (entry.operation == operation)
            return entry.right;
    }
    return kServiceAllAccess;
}

uint32_t CheckRight(uint32_t granted, KeyOperation operation) {
    const uint32_t right = RequiredRight(operation);
    return (granted & right) == right ? 0 : kErrorAccessDenied;
}

uint32_t CheckRight(uint32_t granted, ScOperation operation) {
    const uint32_t right = RequiredRight(operation);
    return (granted & right) == right ? 0 : kErrorAccessDenied;
}

uint32_t MaximumKeyAccess(SimCaller caller, bool machineKey) {
    return Privileged(caller) || !machineKey ? kKeyAllAccess : kKeyRead;
}

uint32_t GrantKeyAccess(SimCaller caller, bool machineKey, uint32_t requested, uint32_t& granted) {
    uint32_t error = Grant(requested & ~kKeyViewBits, kValidKeyBits,
                           MaximumKeyAccess(caller, machineKey), granted);
    if (error == 0 && (requested & kKeyViewBits) == kKeyViewBits)
        error = kErrorInvalidParameter;  // both registry views at once
    return error;
}

uint32_t GrantManagerAccess(SimCaller caller, uint32_t requested, uint32_t& granted) {
    const uint32_t allowed = Privileged(caller) ? kScManagerAllAccess : kStandardManagerAccess;
    uint32_t error = Grant(requested, kScManagerAllAccess, allowed, granted);
    if (error == 0)
        granted |= kScManagerConnect;
    return error;
}

uint32_t GrantServiceAccess(SimCaller caller, uint32_t requested, uint32_t& granted) {
    const uint32_t allowed = Privileged(caller) ? kServiceAllAccess : kStandardServiceAccess;
    return Grant(requested, kServiceAllAccess, allowed, granted);
}

}  // namespace tav::sim

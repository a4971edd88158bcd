#pragma once
// A simulated registry for port devices: the registry keys of each device instance (one per
// key type and hardware profile), subkeys and typed values below them, handles that carry
// the access they were opened with and are counted while open. Device keys are machine
// keys: the caller's rights decide what access it gets. Volatile keys go with a restart of
// the machine. Every call records itself in the SimTrace and can be told to fail.

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "sim/access_rights.h"
#include "sim/call_log.h"
#include "tavportsvc/core/registry_api.h"

namespace tav::sim {

struct SimRegValue {
    uint32_t type = 0;
    std::vector<uint8_t> data;
};

// Which of a device's registry keys: the key type (DIREG_DEV hardware key, DIREG_DRV
// software key) and, for a configuration-specific key, the hardware profile.
struct DeviceKeyPlace {
    static constexpr uint32_t kGlobal = 0xFFFFFFFF;
    uint32_t keyType = sdk::kDiregDev;
    uint32_t profile = kGlobal;
    bool operator<(const DeviceKeyPlace& other) const {
        return keyType != other.keyType ? keyType < other.keyType : profile < other.profile;
    }
};

class SimRegistry : public portsvc::RegistryApi {
  public:
    explicit SimRegistry(SimTrace& trace) : m_trace(trace) {}

    // Opens one of the device's keys (created on first use) for `access`, as the caller:
    // 0 with the handle (counted as open), or the error.
    uint32_t OpenDeviceKey(const std::u16string& instanceId, const DeviceKeyPlace& place,
                           uint32_t access, portsvc::PlatformHandle& handle);

    // Test access to values below a device's key (by default its hardware key), without
    // handles.
    void PutValue(const std::u16string& instanceId, const std::u16string& subKey,
                  const std::u16string& name, SimRegValue value);
    std::optional<SimRegValue> FindValue(const std::u16string& instanceId,
                                         const std::u16string& subKey, const std::u16string& name,
                                         const DeviceKeyPlace& place = {}) const;
    bool HasSubKey(const std::u16string& instanceId, const std::u16string& subKey,
                   const DeviceKeyPlace& place = {}) const;

    int OpenKeyCount() const;
    void SetCaller(SimCaller caller);
    // The machine restarts: volatile keys are gone, and so is every open handle.
    void RestartMachine();

    uint32_t GetValue(portsvc::PlatformHandle key, const char16_t* subKey,
                      const char16_t* valueName, uint32_t flags, uint32_t* type, void* data,
                      uint32_t* dataSize) override;
    uint32_t CreateKey(portsvc::PlatformHandle key, const char16_t* subKey, uint32_t options,
                       uint32_t access, portsvc::PlatformHandle* result,
                       uint32_t* disposition) override;
    uint32_t SetValue(portsvc::PlatformHandle key, const char16_t* valueName, uint32_t type,
                      const void* data, uint32_t dataSize) override;
    uint32_t CloseKey(portsvc::PlatformHandle key) override;

  private:
    struct Key {
        bool isVolatile = false;
        std::map<std::u16string, SimRegValue> values;            // by folded name
        std::map<std::u16string, std::unique_ptr<Key>> subKeys;  // by folded name
    };
    struct OpenKey {
        Key* key;
        uint32_t access;
    };
    using DeviceKeyId = std::pair<std::u16string, DeviceKeyPlace>;  // folded instance id

    Key* DeviceKey(const std::u16string& instanceId, const DeviceKeyPlace& place);
    const Key* FindKey(const std::u16string& instanceId, const std::u16string& subKey,
                       const DeviceKeyPlace& place) const;
    OpenKey* Opened(portsvc::PlatformHandle handle);
    portsvc::PlatformHandle NewHandle(Key* key, uint32_t access);
    static void DropVolatile(Key& key);

    SimTrace& m_trace;
    mutable std::mutex m_mutex;
    std::map<DeviceKeyId, std::unique_ptr<Key>> m_deviceKeys;
    std::map<portsvc::PlatformHandle, OpenKey> m_open;
    portsvc::PlatformHandle m_nextHandle = 0x1000;
    SimCaller m_caller = SimCaller::kLocalSystem;
};

// Little-endian UTF-16 bytes of `text`, with or without the NUL.
std::vector<uint8_t> U16Bytes(const std::u16string& text, bool withNul = true);

}  // namespace tav::sim

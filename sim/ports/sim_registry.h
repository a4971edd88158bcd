#pragma once
// A simulated registry for port devices: one hardware key per device instance, subkeys and
// typed values below it, handles that are counted while open. Every call records itself
// in the SimTrace and can be told to fail.

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "sim/call_log.h"
#include "tavportsvc/core/registry_api.h"

namespace tav::sim {

struct SimRegValue {
    uint32_t type = 0;
    std::vector<uint8_t> data;
};

class SimRegistry : public RegistryApi {
  public:
    explicit SimRegistry(SimTrace& trace) : m_trace(trace) {}

    // Opens the device's hardware key (created on first use); the handle counts as open.
    PlatformHandle OpenHardwareKey(const std::u16string& instanceId);

    // Test access to values below a device's hardware key, without handles.
    void PutValue(const std::u16string& instanceId, const std::u16string& subKey,
                  const std::u16string& name, SimRegValue value);
    std::optional<SimRegValue> FindValue(const std::u16string& instanceId,
                                         const std::u16string& subKey,
                                         const std::u16string& name) const;
    bool HasSubKey(const std::u16string& instanceId, const std::u16string& subKey) const;

    int OpenKeyCount() const;

    uint32_t GetValue(PlatformHandle key, const char16_t* subKey, const char16_t* valueName,
                      uint32_t flags, uint32_t* type, void* data, uint32_t* dataSize) override;
    uint32_t CreateKey(PlatformHandle key, const char16_t* subKey, uint32_t options,
                       uint32_t access, PlatformHandle* result, uint32_t* disposition) override;
    uint32_t SetValue(PlatformHandle key, const char16_t* valueName, uint32_t type,
                      const void* data, uint32_t dataSize) override;
    uint32_t CloseKey(PlatformHandle key) override;

  private:
    struct Key {
        std::map<std::u16string, SimRegValue> values;            // by folded name
        std::map<std::u16string, std::unique_ptr<Key>> subKeys;  // by folded name
    };
    Key* HardwareKey(const std::u16string& instanceId);
    const Key* FindKey(const std::u16string& instanceId, const std::u16string& subKey) const;
    Key* KeyOf(PlatformHandle handle);
    PlatformHandle NewHandle(Key* key);

    SimTrace& m_trace;
    mutable std::mutex m_mutex;
    std::map<std::u16string, std::unique_ptr<Key>> m_hardwareKeys;  // by folded instance id
    std::map<PlatformHandle, Key*> m_open;
    PlatformHandle m_nextHandle = 0x1000;
};

// Little-endian UTF-16 bytes of `text`, with or without the NUL.
std::vector<uint8_t> U16Bytes(const std::u16string& text, bool withNul = true);

}  // namespace tav::sim

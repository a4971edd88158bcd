#pragma once
// The simulated registry of the service: the predefined roots (HKCR, HKCU, HKLM, HKU) and
// the registry keys of each device instance (one per key type and hardware profile), nested
// keys with case-insensitive names and typed values, handles that carry the access they were
// opened with and are counted while open. The caller's rights decide that access: machine
// keys (every root but HKCU, and every device key) are read-only to a standard user.
// Volatile keys go with a restart of the machine. Every call records itself in the SimTrace
// and can be told to fail.

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "portlink/core/registry_api.h"
#include "sim/access_rights.h"
#include "sim/call_log.h"

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
    using Key = portsvc::PlatformHandle;

    SimRegistry(SimTrace& trace, SimCaller caller) : m_trace(trace), m_caller(caller) {}

    // What SetupDiOpenDevRegKey hands out: one of the device's keys (created on first use)
    // opened for `access` as the caller; 0 with the handle, or the error.
    uint32_t OpenDeviceKey(const std::u16string& instanceId, const DeviceKeyPlace& place,
                           uint32_t access, Key& handle);

    // Set-up and inspection by tests, without handles. `path` is "A\\B" below the root or
    // the device key (by default the device's hardware key).
    void PutValue(const std::u16string& instanceId, const std::u16string& path,
                  const std::u16string& name, SimRegValue value);
    std::optional<SimRegValue> FindValue(const std::u16string& instanceId,
                                         const std::u16string& path, const std::u16string& name,
                                         const DeviceKeyPlace& place = {}) const;
    bool HasSubKey(const std::u16string& instanceId, const std::u16string& path,
                   const DeviceKeyPlace& place = {}) const;
    void AddKey(Key root, const std::u16string& path);
    bool KeyExists(Key root, const std::u16string& path) const;
    bool IsVolatile(Key root, const std::u16string& path) const;
    // A string value's text (without its NUL); none when absent or not a string.
    std::optional<std::u16string> Value(Key root, const std::u16string& path,
                                        const std::u16string& name) const;
    // The value as stored: its type and every byte the writer passed.
    std::optional<SimRegValue> StoredValue(Key root, const std::u16string& path,
                                           const std::u16string& name) const;
    std::vector<std::u16string> ValueNames(Key root, const std::u16string& path) const;
    std::vector<std::u16string> SubkeyNames(Key root, const std::u16string& path) const;
    // Every key below the root as "path" and every value as "path\name=data", for
    // comparing the whole tree before and after.
    std::vector<std::u16string> Dump(Key root) const;
    size_t OpenHandleCount() const;

    void SetCaller(SimCaller caller);
    // The machine restarts: volatile keys are gone, and so is every open handle.
    void RestartMachine();

    uint32_t OpenKey(Key key, const std::u16string& subKey, uint32_t access, Key& result) override;
    uint32_t CreateKey(Key key, const std::u16string& subKey, uint32_t options, uint32_t access,
                       Key& result, uint32_t* disposition) override;
    uint32_t GetValue(Key key, const std::u16string& subKey, const std::u16string& valueName,
                      uint32_t flags, uint32_t* type, void* data, uint32_t* dataSize) override;
    uint32_t SetValue(Key key, const std::u16string& valueName, uint32_t type, const void* data,
                      uint32_t dataSize) override;
    uint32_t DeleteValue(Key key, const std::u16string& valueName) override;
    uint32_t DeleteKey(Key key, const std::u16string& subKey) override;
    uint32_t CountSubkeys(Key key, uint32_t& count) override;
    uint32_t CloseKey(Key key) override;

  private:
    struct NamedValue {
        std::u16string name;
        SimRegValue value;
    };
    struct Node {
        std::u16string name;
        bool isVolatile = false;
        std::map<std::u16string, std::unique_ptr<Node>> children;  // by folded name
        std::map<std::u16string, NamedValue> values;               // by folded name
    };
    // An open key: the path below a root or device key, which outlives every handle.
    struct Location {
        Node* base = nullptr;
        bool machine = true;
        std::vector<std::u16string> path;
        uint32_t access = 0;
    };
    using DeviceKeyId = std::pair<std::u16string, DeviceKeyPlace>;  // folded instance id

    bool Resolve(Key key, Location& location) const;
    uint32_t Below(Key parent, const std::u16string& subKey, Location& location) const;
    Node* OpenNode(Key key, KeyOperation operation, uint32_t& error) const;
    static Node* Find(const Location& location);
    static Node* FindOrCreate(const Location& location);
    static uint32_t CreatePath(const Location& location, bool isVolatile, bool& created);
    Node* DeviceKey(const std::u16string& instanceId, const DeviceKeyPlace& place) const;
    Location RootLocation(Key root, const std::u16string& path) const;
    Location DeviceLocation(const std::u16string& instanceId, const DeviceKeyPlace& place,
                            const std::u16string& path) const;
    Key NewHandle(Location location);
    static void DropVolatile(Node& node);
    static void DumpNode(const Node& node, const std::u16string& path,
                         std::vector<std::u16string>& out);

    SimTrace& m_trace;
    mutable std::mutex m_mutex;
    mutable std::map<Key, Node> m_roots;
    mutable std::map<DeviceKeyId, std::unique_ptr<Node>> m_deviceKeys;
    std::map<Key, Location> m_handles;
    Key m_nextHandle = 0x1000;
    SimCaller m_caller;
};

// Little-endian UTF-16 bytes of `text`, with or without the NUL.
std::vector<uint8_t> U16Bytes(const std::u16string& text, bool withNul = true);

}  // namespace tav::sim

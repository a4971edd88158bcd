#pragma once
// A simulated registry for the service host: predefined roots, nested keys with
// case-insensitive names, string values, open handles that carry the access they were
// opened with. The caller's rights decide that access: machine keys are read-only to a
// standard user. Volatile keys go with a restart of the machine. Every call goes through
// the SimTrace, so a test can fail any of them.

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "sim/access_rights.h"
#include "sim/call_log.h"
#include "tavportsvc/host/host_platform.h"

namespace tav::sim {

class SimHostRegistry : public portsvc::host::Registry {
  public:
    explicit SimHostRegistry(SimTrace& trace) : m_trace(trace) {}

    uint32_t OpenKey(portsvc::host::RegKey parent, const std::u16string& subkey, uint32_t access,
                     portsvc::host::RegKey& key) override;
    uint32_t CreateKey(portsvc::host::RegKey parent, const std::u16string& subkey, uint32_t options,
                       uint32_t access, portsvc::host::RegKey& key) override;
    uint32_t SetStringValue(portsvc::host::RegKey key, const std::u16string& name,
                            const std::u16string& data) override;
    uint32_t DeleteValue(portsvc::host::RegKey key, const std::u16string& name) override;
    uint32_t DeleteKey(portsvc::host::RegKey parent, const std::u16string& subkey) override;
    uint32_t CountSubkeys(portsvc::host::RegKey key, uint32_t& count) override;
    void CloseKey(portsvc::host::RegKey key) override;

    // Inspection and set-up by tests; `path` is "A\\B\\C" below `root`.
    bool KeyExists(portsvc::host::RegKey root, const std::u16string& path) const;
    std::optional<std::u16string> Value(portsvc::host::RegKey root, const std::u16string& path,
                                        const std::u16string& name) const;
    std::vector<std::u16string> ValueNames(portsvc::host::RegKey root,
                                           const std::u16string& path) const;
    std::vector<std::u16string> SubkeyNames(portsvc::host::RegKey root,
                                            const std::u16string& path) const;
    void AddKey(portsvc::host::RegKey root, const std::u16string& path);
    size_t OpenHandleCount() const;
    bool IsVolatile(portsvc::host::RegKey root, const std::u16string& path) const;
    // Every key below the root as "path" and every value as "path\name=data", for
    // comparing the whole tree before and after.
    std::vector<std::u16string> Dump(portsvc::host::RegKey root) const;

    void SetCaller(SimCaller caller);
    // The machine restarts: volatile keys are gone, and so is every open handle.
    void RestartMachine();

  private:
    struct Node {
        std::u16string name;
        bool isVolatile = false;
        std::map<std::u16string, std::unique_ptr<Node>> children;  // by folded name
        std::map<std::u16string, std::pair<std::u16string, std::u16string>> values;  // folded
    };
    struct Location {
        portsvc::host::RegKey root;
        std::vector<std::u16string> path;
        uint32_t access = 0;
    };

    bool Resolve(portsvc::host::RegKey key, Location& location) const;
    Node* Find(const Location& location) const;
    Node* OpenNode(portsvc::host::RegKey key, KeyOperation operation, uint32_t& error) const;
    Node* FindOrCreate(const Location& location);
    uint32_t CreatePath(const Location& location, bool isVolatile);
    portsvc::host::RegKey NewHandle(Location location);
    uint32_t Grant(portsvc::host::RegKey root, uint32_t access, uint32_t& granted) const;
    static void DropVolatile(Node& node);
    static void DumpNode(const Node& node, const std::u16string& path,
                         std::vector<std::u16string>& out);

    SimTrace& m_trace;
    mutable std::recursive_mutex m_mutex;
    mutable std::map<portsvc::host::RegKey, Node> m_roots;
    std::map<portsvc::host::RegKey, Location> m_handles;
    portsvc::host::RegKey m_nextHandle = 0x1000;
    SimCaller m_caller = SimCaller::kAdministrator;
};

}  // namespace tav::sim

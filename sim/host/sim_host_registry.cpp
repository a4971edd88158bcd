#include "sim/host/sim_host_registry.h"

#include "shared/u16.h"

namespace tav::sim {
namespace {

constexpr uint32_t kErrorKeyDeleted = 1018;

std::u16string Fold(const std::u16string& text) {
    std::u16string folded;
    for (char16_t c : text)
        folded += FoldCase(c);
    return folded;
}

std::vector<std::u16string> SplitPath(const std::u16string& path) {
    std::vector<std::u16string> parts;
    std::u16string part;
    for (char16_t c : path) {
        if (c == u'\\') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

// The predefined keys as Windows defines them, (HKEY)(ULONG_PTR)((LONG)0x8000000n): on a
// 64-bit build the top bit fills the upper half. The world keeps its own copy, so a wrong
// value in the programs' mirror (a zero-extended one, say) is refused with 6 as on Windows.
constexpr portsvc::host::RegKey PredefinedKey(uint32_t low) {
    return static_cast<portsvc::host::RegKey>(static_cast<intptr_t>(static_cast<int32_t>(low)));
}
constexpr portsvc::host::RegKey kPredefinedKeys[] = {
    PredefinedKey(0x80000000u), PredefinedKey(0x80000001u), PredefinedKey(0x80000002u),
    PredefinedKey(0x80000003u)};

bool IsRoot(portsvc::host::RegKey key) {
    for (portsvc::host::RegKey root : kPredefinedKeys) {
        if (key == root)
            return true;
    }
    return false;
}

// HKEY_CURRENT_USER is the caller's own; every other root is the machine's (HKCR's user
// part is not simulated: a standard user's classes live under HKCU\Software\Classes).
bool IsMachineRoot(portsvc::host::RegKey root) {
    return root != win::kHkeyCurrentUser;
}

}  // namespace

uint32_t SimHostRegistry::Grant(portsvc::host::RegKey root, uint32_t access,
                                uint32_t& granted) const {
    return GrantKeyAccess(m_caller, IsMachineRoot(root), access, granted);
}

// A predefined root is open with all the caller may have on it.
bool SimHostRegistry::Resolve(portsvc::host::RegKey key, Location& location) const {
    if (IsRoot(key)) {
        location = {key, {}, MaximumKeyAccess(m_caller, IsMachineRoot(key))};
        return true;
    }
    auto it = m_handles.find(key);
    if (it == m_handles.end())
        return false;
    location = it->second;
    return true;
}

// The node an open key names, when the key's access allows `operation`: none with 6 for a
// handle never opened, 1018 for a deleted key, 5 without the right.
SimHostRegistry::Node* SimHostRegistry::OpenNode(portsvc::host::RegKey key, KeyOperation operation,
                                                 uint32_t& error) const {
    Location location;
    if (!Resolve(key, location)) {
        error = win::kErrorInvalidHandle;
        return nullptr;
    }
    Node* node = Find(location);
    if (!node) {
        error = kErrorKeyDeleted;
        return nullptr;
    }
    error = CheckRight(location.access, operation);
    return error == win::kErrorSuccess ? node : nullptr;
}

SimHostRegistry::Node* SimHostRegistry::Find(const Location& location) const {
    Node* node = &m_roots[location.root];
    for (const auto& name : location.path) {
        auto it = node->children.find(Fold(name));
        if (it == node->children.end())
            return nullptr;
        node = it->second.get();
    }
    return node;
}

SimHostRegistry::Node* SimHostRegistry::FindOrCreate(const Location& location) {
    Node* node = &m_roots[location.root];
    for (const auto& name : location.path) {
        auto& child = node->children[Fold(name)];
        if (!child) {
            child = std::make_unique<Node>();
            child->name = name;
        }
        node = child.get();
    }
    return node;
}

// Creates the missing keys of a path with the given volatility; a non-volatile key cannot
// go below a volatile one (1021), and then nothing is created.
uint32_t SimHostRegistry::CreatePath(const Location& location, bool isVolatile) {
    Node* node = &m_roots[location.root];
    size_t depth = 0;
    for (; depth < location.path.size(); ++depth) {
        auto it = node->children.find(Fold(location.path[depth]));
        if (it == node->children.end())
            break;
        node = it->second.get();
    }
    if (depth < location.path.size() && node->isVolatile && !isVolatile)
        return sdk::kErrorChildMustBeVolatile;
    for (; depth < location.path.size(); ++depth) {
        auto child = std::make_unique<Node>();
        child->name = location.path[depth];
        child->isVolatile = isVolatile;
        Node* next = child.get();
        node->children[Fold(location.path[depth])] = std::move(child);
        node = next;
    }
    return win::kErrorSuccess;
}

portsvc::host::RegKey SimHostRegistry::NewHandle(Location location) {
    portsvc::host::RegKey key = m_nextHandle++;
    m_handles[key] = std::move(location);
    return key;
}

uint32_t SimHostRegistry::OpenKey(portsvc::host::RegKey parent, const std::u16string& subkey,
                                  uint32_t access, portsvc::host::RegKey& key) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    key = 0;
    if (auto error = m_trace.Enter("RegOpenKeyExW", ToUtf8(subkey)))
        return *error;
    Location location;
    if (!Resolve(parent, location))
        return win::kErrorInvalidHandle;
    if (!Find(location))
        return kErrorKeyDeleted;
    for (auto& part : SplitPath(subkey))
        location.path.push_back(part);
    if (!Find(location))
        return win::kErrorFileNotFound;
    if (uint32_t error = Grant(location.root, access, location.access))
        return error;
    key = NewHandle(std::move(location));
    return win::kErrorSuccess;
}

uint32_t SimHostRegistry::CreateKey(portsvc::host::RegKey parent, const std::u16string& subkey,
                                    uint32_t options, uint32_t access, portsvc::host::RegKey& key) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    key = 0;
    if (auto error = m_trace.Enter("RegCreateKeyExW",
                                   ToUtf8(subkey) + " options=" + std::to_string(options)))
        return *error;
    // REG_OPTION_CREATE_LINK, _BACKUP_RESTORE, _OPEN_LINK and _DONT_VIRTUALIZE are valid on
    // Windows but never passed by our code: refused with 87 like unknown bits.
    if ((options & ~sdk::kRegOptionVolatile) != 0)
        return sdk::kErrorInvalidParameter;
    Location location;
    if (!Resolve(parent, location))
        return win::kErrorInvalidHandle;
    if (!Find(location))
        return kErrorKeyDeleted;
    // The documented right on the parent, whether the subkey is new or not.
    if (uint32_t error = CheckRight(location.access, KeyOperation::kCreateSubKey))
        return error;
    for (auto& part : SplitPath(subkey))
        location.path.push_back(part);
    if (uint32_t error = Grant(location.root, access, location.access))
        return error;
    if (uint32_t error = CreatePath(location, (options & sdk::kRegOptionVolatile) != 0))
        return error;
    key = NewHandle(std::move(location));
    return win::kErrorSuccess;
}

uint32_t SimHostRegistry::SetStringValue(portsvc::host::RegKey key, const std::u16string& name,
                                         const std::u16string& data) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (auto error = m_trace.Enter("RegSetValueExW", ToUtf8(name) + "=" + ToUtf8(data)))
        return *error;
    uint32_t error = win::kErrorSuccess;
    Node* node = OpenNode(key, KeyOperation::kSetValue, error);
    if (!node)
        return error;
    node->values[Fold(name)] = {name, data};
    return win::kErrorSuccess;
}

uint32_t SimHostRegistry::DeleteValue(portsvc::host::RegKey key, const std::u16string& name) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (auto error = m_trace.Enter("RegDeleteValueW", ToUtf8(name)))
        return *error;
    uint32_t error = win::kErrorSuccess;
    Node* node = OpenNode(key, KeyOperation::kDeleteValue, error);
    if (!node)
        return error;
    return node->values.erase(Fold(name)) ? win::kErrorSuccess : win::kErrorFileNotFound;
}

// The parent handle's access does not matter: the call opens the subkey for DELETE itself,
// with the caller's rights.
uint32_t SimHostRegistry::DeleteKey(portsvc::host::RegKey parent, const std::u16string& subkey) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (auto error = m_trace.Enter("RegDeleteKeyW", ToUtf8(subkey)))
        return *error;
    Location location;
    if (!Resolve(parent, location))
        return win::kErrorInvalidHandle;
    for (auto& part : SplitPath(subkey))
        location.path.push_back(part);
    if (location.path.empty())
        return win::kErrorAccessDenied;
    Node* node = Find(location);
    if (!node)
        return win::kErrorFileNotFound;
    uint32_t granted = 0;
    if (uint32_t error = Grant(location.root, RequiredRight(KeyOperation::kDeleteKey), granted))
        return error;
    if (!node->children.empty())
        return win::kErrorAccessDenied;  // RegDeleteKeyW refuses keys with subkeys
    std::u16string last = Fold(location.path.back());
    location.path.pop_back();
    Find(location)->children.erase(last);
    return win::kErrorSuccess;
}

uint32_t SimHostRegistry::CountSubkeys(portsvc::host::RegKey key, uint32_t& count) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    count = 0;
    if (auto error = m_trace.Enter("RegQueryInfoKeyW"))
        return *error;
    uint32_t error = win::kErrorSuccess;
    Node* node = OpenNode(key, KeyOperation::kQueryInfo, error);
    if (!node)
        return error;
    count = static_cast<uint32_t>(node->children.size());
    return win::kErrorSuccess;
}

void SimHostRegistry::CloseKey(portsvc::host::RegKey key) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_trace.Enter("RegCloseKey");
    m_handles.erase(key);
}

void SimHostRegistry::SetCaller(SimCaller caller) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_caller = caller;
}

void SimHostRegistry::DropVolatile(Node& node) {
    for (auto it = node.children.begin(); it != node.children.end();) {
        if (it->second->isVolatile) {
            it = node.children.erase(it);
        } else {
            DropVolatile(*it->second);
            ++it;
        }
    }
}

void SimHostRegistry::RestartMachine() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_handles.clear();
    for (auto& [root, node] : m_roots)
        DropVolatile(node);
}

bool SimHostRegistry::IsVolatile(portsvc::host::RegKey root, const std::u16string& path) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    Node* node = Find({root, SplitPath(path)});
    return node && node->isVolatile;
}

void SimHostRegistry::DumpNode(const Node& node, const std::u16string& path,
                               std::vector<std::u16string>& out) {
    for (const auto& value : node.values)
        out.push_back(path + u"\\" + value.second.first + u"=" + value.second.second);
    for (const auto& child : node.children) {
        std::u16string childPath = path + u"\\" + child.second->name;
        out.push_back(childPath);
        DumpNode(*child.second, childPath, out);
    }
}

std::vector<std::u16string> SimHostRegistry::Dump(portsvc::host::RegKey root) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    std::vector<std::u16string> out;
    DumpNode(m_roots[root], u"", out);
    return out;
}

bool SimHostRegistry::KeyExists(portsvc::host::RegKey root, const std::u16string& path) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return Find({root, SplitPath(path)}) != nullptr;
}

std::optional<std::u16string> SimHostRegistry::Value(portsvc::host::RegKey root,
                                                     const std::u16string& path,
                                                     const std::u16string& name) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    Node* node = Find({root, SplitPath(path)});
    if (!node)
        return std::nullopt;
    auto it = node->values.find(Fold(name));
    if (it == node->values.end())
        return std::nullopt;
    return it->second.second;
}

std::vector<std::u16string> SimHostRegistry::ValueNames(portsvc::host::RegKey root,
                                                        const std::u16string& path) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    std::vector<std::u16string> names;
    if (Node* node = Find({root, SplitPath(path)})) {
        for (const auto& value : node->values)
            names.push_back(value.second.first);
    }
    return names;
}

std::vector<std::u16string> SimHostRegistry::SubkeyNames(portsvc::host::RegKey root,
                                                         const std::u16string& path) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    std::vector<std::u16string> names;
    if (Node* node = Find({root, SplitPath(path)})) {
        for (const auto& child : node->children)
            names.push_back(child.second->name);
    }
    return names;
}

void SimHostRegistry::AddKey(portsvc::host::RegKey root, const std::u16string& path) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    FindOrCreate({root, SplitPath(path)});
}

size_t SimHostRegistry::OpenHandleCount() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_handles.size();
}

}  // namespace tav::sim

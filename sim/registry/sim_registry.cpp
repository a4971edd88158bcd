#include "sim/registry/sim_registry.h"

#include <cstring>

#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav::sim {

namespace {

constexpr uint32_t kErrorKeyDeleted = 1018;
constexpr uint32_t kRegCreatedNewKey = 1;
constexpr uint32_t kRegOpenedExistingKey = 2;

std::u16string Fold(std::u16string_view text) {
    std::u16string out(text);
    for (auto& c : out)
        c = FoldCase(c);
    return out;
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
constexpr SimRegistry::Key PredefinedKey(uint32_t low) {
    return static_cast<SimRegistry::Key>(static_cast<intptr_t>(static_cast<int32_t>(low)));
}
constexpr SimRegistry::Key kHkeyCurrentUser = PredefinedKey(0x80000001u);
constexpr SimRegistry::Key kPredefinedKeys[] = {PredefinedKey(0x80000000u), kHkeyCurrentUser,
                                                PredefinedKey(0x80000002u),
                                                PredefinedKey(0x80000003u)};

bool IsRoot(SimRegistry::Key key) {
    for (SimRegistry::Key root : kPredefinedKeys) {
        if (key == root)
            return true;
    }
    return false;
}

// HKEY_CURRENT_USER is the caller's own; every other root is the machine's (HKCR's user
// part is not simulated: a standard user's classes live under HKCU\Software\Classes).
bool IsMachineRoot(SimRegistry::Key root) {
    return root != kHkeyCurrentUser;
}

bool EndsWithNul(const std::vector<uint8_t>& data) {
    return data.size() >= 2 && data[data.size() - 1] == 0 && data[data.size() - 2] == 0;
}

bool IsString(uint32_t type) {
    return type == sdk::kRegSz || type == sdk::kRegExpandSz || type == sdk::kRegMultiSz;
}

std::u16string TextOf(const SimRegValue& value) {
    std::u16string text;
    for (size_t i = 0; i + 1 < value.data.size(); i += 2)
        text += static_cast<char16_t>(value.data[i] | (value.data[i + 1] << 8));
    if (!text.empty() && text.back() == 0)
        text.pop_back();
    return text;
}

std::u16string HexOf(const SimRegValue& value) {
    static const char16_t kDigits[] = u"0123456789abcdef";
    std::u16string text = u"hex:";
    for (uint8_t byte : value.data) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text;
}

// RegGetValueW's type restriction: the RRF_RT_* bit of each type. A REG_EXPAND_SZ value is
// only returned under RRF_RT_REG_EXPAND_SZ here (our code reads REG_SZ links only).
bool TypeAllowed(uint32_t flags, uint32_t type) {
    static const struct {
        uint32_t type;
        uint32_t bit;
    } kTypeBits[] = {
        {sdk::kRegNone, sdk::kRrfRtRegNone},         {sdk::kRegSz, sdk::kRrfRtRegSz},
        {sdk::kRegExpandSz, sdk::kRrfRtRegExpandSz}, {sdk::kRegBinary, sdk::kRrfRtRegBinary},
        {sdk::kRegDword, sdk::kRrfRtRegDword},       {sdk::kRegMultiSz, sdk::kRrfRtRegMultiSz},
        {sdk::kRegQword, sdk::kRrfRtRegQword},
    };
    if ((flags & sdk::kRrfRtAny) == sdk::kRrfRtAny)
        return true;
    for (const auto& entry : kTypeBits) {
        if (entry.type == type)
            return (flags & entry.bit) != 0;
    }
    return false;
}

// 87 for bits RegGetValueW does not know, and for RRF_RT_REG_EXPAND_SZ without
// RRF_NOEXPAND, as documented.
uint32_t CheckGetValueFlags(uint32_t flags) {
    constexpr uint32_t kKnown = sdk::kRrfRtAny | sdk::kRrfSubkeyWow6464Key |
                                sdk::kRrfSubkeyWow6432Key | sdk::kRrfNoExpand |
                                sdk::kRrfZeroOnFailure;
    if ((flags & ~kKnown) != 0)
        return sdk::kErrorInvalidParameter;
    const bool expandOnly =
        (flags & sdk::kRrfRtAny) != sdk::kRrfRtAny && (flags & sdk::kRrfRtRegExpandSz) != 0;
    if (expandOnly && (flags & sdk::kRrfNoExpand) == 0)
        return sdk::kErrorInvalidParameter;
    return win::kErrorSuccess;
}

// RegGetValueW's copy out: a string comes back NUL-terminated, so a string stored without
// its NUL needs two bytes more than it holds.
uint32_t CopyValueOut(const SimRegValue& value, uint32_t* type, void* data, uint32_t* dataSize) {
    const bool addNul = IsString(value.type) && !EndsWithNul(value.data);
    auto required = static_cast<uint32_t>(value.data.size() + (addNul ? 2 : 0));
    if (type)
        *type = value.type;
    if (!data) {
        *dataSize = required;
        return win::kErrorSuccess;
    }
    if (*dataSize < required) {
        *dataSize = required;
        return win::kErrorMoreData;
    }
    std::memset(data, 0, required);
    if (!value.data.empty())
        std::memcpy(data, value.data.data(), value.data.size());
    *dataSize = required;
    return win::kErrorSuccess;
}

}  // namespace

std::vector<uint8_t> U16Bytes(const std::u16string& text, bool withNul) {
    std::vector<uint8_t> out;
    for (char16_t c : text) {
        out.push_back(static_cast<uint8_t>(c & 0xFF));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
    if (withNul) {
        out.push_back(0);
        out.push_back(0);
    }
    return out;
}

// ---- Keys, locations and handles ----

SimRegistry::Node* SimRegistry::DeviceKey(const std::u16string& instanceId,
                                          const DeviceKeyPlace& place) const {
    auto& slot = m_deviceKeys[{Fold(instanceId), place}];
    if (!slot)
        slot = std::make_unique<Node>();
    return slot.get();
}

SimRegistry::Location SimRegistry::RootLocation(Key root, const std::u16string& path) const {
    return {&m_roots[root], IsMachineRoot(root), SplitPath(path), 0};
}

SimRegistry::Location SimRegistry::DeviceLocation(const std::u16string& instanceId,
                                                  const DeviceKeyPlace& place,
                                                  const std::u16string& path) const {
    return {DeviceKey(instanceId, place), true, SplitPath(path), 0};
}

// A predefined root is open with all the caller may have on it.
bool SimRegistry::Resolve(Key key, Location& location) const {
    if (IsRoot(key)) {
        location = RootLocation(key, {});
        location.access = MaximumKeyAccess(m_caller, location.machine);
        return true;
    }
    auto it = m_handles.find(key);
    if (it == m_handles.end())
        return false;
    location = it->second;
    return true;
}

// The key `subKey` names below an open key or root: 6 for a handle never opened, 1018 when
// the key the handle names was deleted. The location keeps the handle's access.
uint32_t SimRegistry::Below(Key parent, const std::u16string& subKey, Location& location) const {
    if (!Resolve(parent, location))
        return win::kErrorInvalidHandle;
    if (!Find(location))
        return kErrorKeyDeleted;
    for (auto& part : SplitPath(subKey))
        location.path.push_back(part);
    return win::kErrorSuccess;
}

SimRegistry::Node* SimRegistry::Find(const Location& location) {
    Node* node = location.base;
    for (const auto& name : location.path) {
        auto it = node->children.find(Fold(name));
        if (it == node->children.end())
            return nullptr;
        node = it->second.get();
    }
    return node;
}

SimRegistry::Node* SimRegistry::FindOrCreate(const Location& location) {
    Node* node = location.base;
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

// The node an open key names, when the key's access allows `operation`: none with 6 for a
// handle never opened, 1018 for a deleted key, 5 without the right.
SimRegistry::Node* SimRegistry::OpenNode(Key key, KeyOperation operation, uint32_t& error) const {
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

// Creates the missing keys of a path with the given volatility; a non-volatile key cannot
// go below a volatile one (1021), and then nothing is created.
uint32_t SimRegistry::CreatePath(const Location& location, bool isVolatile, bool& created) {
    Node* node = location.base;
    size_t depth = 0;
    for (; depth < location.path.size(); ++depth) {
        auto it = node->children.find(Fold(location.path[depth]));
        if (it == node->children.end())
            break;
        node = it->second.get();
    }
    created = depth < location.path.size();
    if (created && node->isVolatile && !isVolatile)
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

SimRegistry::Key SimRegistry::NewHandle(Location location) {
    Key key = m_nextHandle;
    m_nextHandle += 4;
    m_handles[key] = std::move(location);
    return key;
}

uint32_t SimRegistry::OpenDeviceKey(const std::u16string& instanceId, const DeviceKeyPlace& place,
                                    uint32_t access, Key& handle) {
    std::lock_guard<std::mutex> lock(m_mutex);
    handle = win::kNoHandle;
    Location location = DeviceLocation(instanceId, place, {});
    if (uint32_t error = GrantKeyAccess(m_caller, true, access, location.access))
        return error;
    handle = NewHandle(std::move(location));
    return win::kErrorSuccess;
}

// ---- The registry calls ----

uint32_t SimRegistry::OpenKey(Key parent, const std::u16string& subKey, uint32_t access,
                              Key& result) {
    result = win::kNoHandle;
    if (auto error = m_trace.Enter("RegOpenKeyExW", ToUtf8(subKey)))
        return *error;
    std::lock_guard<std::mutex> lock(m_mutex);
    Location location;
    if (uint32_t error = Below(parent, subKey, location))
        return error;
    if (!Find(location))
        return win::kErrorFileNotFound;
    if (uint32_t error = GrantKeyAccess(m_caller, location.machine, access, location.access))
        return error;
    result = NewHandle(std::move(location));
    return win::kErrorSuccess;
}

uint32_t SimRegistry::CreateKey(Key parent, const std::u16string& subKey, uint32_t options,
                                uint32_t access, Key& result, uint32_t* disposition) {
    result = win::kNoHandle;
    if (auto error = m_trace.Enter("RegCreateKeyExW", ToUtf8(subKey) +
                                                          " options=" + std::to_string(options) +
                                                          " access=" + std::to_string(access)))
        return *error;
    // REG_OPTION_CREATE_LINK, _BACKUP_RESTORE, _OPEN_LINK and _DONT_VIRTUALIZE are valid on
    // Windows but never passed by our code: refused with 87 like unknown bits.
    if ((options & ~sdk::kRegOptionVolatile) != 0)
        return sdk::kErrorInvalidParameter;
    std::lock_guard<std::mutex> lock(m_mutex);
    Location location;
    if (uint32_t error = Below(parent, subKey, location))
        return error;
    const uint32_t parentAccess = location.access;
    if (uint32_t error = GrantKeyAccess(m_caller, location.machine, access, location.access))
        return error;
    // The documented right on the parent, whether the subkey is new or not.
    if (uint32_t error = CheckRight(parentAccess, KeyOperation::kCreateSubKey))
        return error;
    bool created = false;
    if (uint32_t error = CreatePath(location, (options & sdk::kRegOptionVolatile) != 0, created))
        return error;
    if (disposition)
        *disposition = created ? kRegCreatedNewKey : kRegOpenedExistingKey;
    result = NewHandle(std::move(location));
    return win::kErrorSuccess;
}

uint32_t SimRegistry::GetValue(Key key, const std::u16string& subKey,
                               const std::u16string& valueName, uint32_t flags, uint32_t* type,
                               void* data, uint32_t* dataSize) {
    if (auto error = m_trace.Enter("RegGetValueW", ToUtf8(subKey) + "\\" + ToUtf8(valueName)))
        return *error;
    if (uint32_t error = CheckGetValueFlags(flags))
        return error;
    std::lock_guard<std::mutex> lock(m_mutex);
    uint32_t error = win::kErrorSuccess;
    Node* node = OpenNode(key, KeyOperation::kQueryValue, error);
    if (!node)
        return error;
    node = Find({node, true, SplitPath(subKey), 0});
    if (!node)
        return win::kErrorFileNotFound;
    auto it = node->values.find(Fold(valueName));
    if (it == node->values.end())
        return win::kErrorFileNotFound;
    if (!TypeAllowed(flags, it->second.value.type))
        return sdk::kErrorUnsupportedType;
    return CopyValueOut(it->second.value, type, data, dataSize);
}

uint32_t SimRegistry::SetValue(Key key, const std::u16string& valueName, uint32_t type,
                               const void* data, uint32_t dataSize) {
    if (auto error =
            m_trace.Enter("RegSetValueExW", ToUtf8(valueName) + " type=" + std::to_string(type) +
                                                " bytes=" + std::to_string(dataSize)))
        return *error;
    std::lock_guard<std::mutex> lock(m_mutex);
    uint32_t error = win::kErrorSuccess;
    Node* node = OpenNode(key, KeyOperation::kSetValue, error);
    if (!node)
        return error;
    const auto* bytes = static_cast<const uint8_t*>(data);
    node->values[Fold(valueName)] = {
        valueName, SimRegValue{type, std::vector<uint8_t>(bytes, bytes + dataSize)}};
    return win::kErrorSuccess;
}

uint32_t SimRegistry::DeleteValue(Key key, const std::u16string& valueName) {
    if (auto error = m_trace.Enter("RegDeleteValueW", ToUtf8(valueName)))
        return *error;
    std::lock_guard<std::mutex> lock(m_mutex);
    uint32_t error = win::kErrorSuccess;
    Node* node = OpenNode(key, KeyOperation::kDeleteValue, error);
    if (!node)
        return error;
    return node->values.erase(Fold(valueName)) ? win::kErrorSuccess : win::kErrorFileNotFound;
}

// The parent handle's access does not matter: the call opens the subkey for DELETE itself,
// with the caller's rights.
uint32_t SimRegistry::DeleteKey(Key parent, const std::u16string& subKey) {
    if (auto error = m_trace.Enter("RegDeleteKeyW", ToUtf8(subKey)))
        return *error;
    std::lock_guard<std::mutex> lock(m_mutex);
    Location location;
    if (uint32_t error = Below(parent, subKey, location))
        return error;
    if (location.path.empty())
        return win::kErrorAccessDenied;
    Node* node = Find(location);
    if (!node)
        return win::kErrorFileNotFound;
    uint32_t granted = 0;
    if (uint32_t error = GrantKeyAccess(m_caller, location.machine,
                                        RequiredRight(KeyOperation::kDeleteKey), granted))
        return error;
    if (!node->children.empty())
        return win::kErrorAccessDenied;  // RegDeleteKeyW refuses keys with subkeys
    std::u16string last = Fold(location.path.back());
    location.path.pop_back();
    Find(location)->children.erase(last);
    return win::kErrorSuccess;
}

uint32_t SimRegistry::CountSubkeys(Key key, uint32_t& count) {
    count = 0;
    if (auto error = m_trace.Enter("RegQueryInfoKeyW"))
        return *error;
    std::lock_guard<std::mutex> lock(m_mutex);
    uint32_t error = win::kErrorSuccess;
    Node* node = OpenNode(key, KeyOperation::kQueryInfo, error);
    if (!node)
        return error;
    count = static_cast<uint32_t>(node->children.size());
    return win::kErrorSuccess;
}

// A failed close gives nothing back: the handle stays open.
uint32_t SimRegistry::CloseKey(Key key) {
    if (auto error = m_trace.Enter("RegCloseKey"))
        return *error;
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_handles.erase(key) ? win::kErrorSuccess : win::kErrorInvalidHandle;
}

// ---- The machine ----

void SimRegistry::SetCaller(SimCaller caller) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_caller = caller;
}

void SimRegistry::DropVolatile(Node& node) {
    for (auto it = node.children.begin(); it != node.children.end();) {
        if (it->second->isVolatile) {
            it = node.children.erase(it);
        } else {
            DropVolatile(*it->second);
            ++it;
        }
    }
}

void SimRegistry::RestartMachine() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_handles.clear();
    for (auto& [root, node] : m_roots)
        DropVolatile(node);
    for (auto& [id, node] : m_deviceKeys)
        DropVolatile(*node);
}

// ---- Set-up and inspection ----

void SimRegistry::PutValue(const std::u16string& instanceId, const std::u16string& path,
                           const std::u16string& name, SimRegValue value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = FindOrCreate(DeviceLocation(instanceId, {}, path));
    node->values[Fold(name)] = {name, std::move(value)};
}

std::optional<SimRegValue> SimRegistry::FindValue(const std::u16string& instanceId,
                                                  const std::u16string& path,
                                                  const std::u16string& name,
                                                  const DeviceKeyPlace& place) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_deviceKeys.count({Fold(instanceId), place}))
        return std::nullopt;
    const Node* node = Find(DeviceLocation(instanceId, place, path));
    if (!node)
        return std::nullopt;
    auto it = node->values.find(Fold(name));
    if (it == node->values.end())
        return std::nullopt;
    return it->second.value;
}

bool SimRegistry::HasSubKey(const std::u16string& instanceId, const std::u16string& path,
                            const DeviceKeyPlace& place) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_deviceKeys.count({Fold(instanceId), place}) &&
           Find(DeviceLocation(instanceId, place, path)) != nullptr;
}

void SimRegistry::AddKey(Key root, const std::u16string& path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    FindOrCreate(RootLocation(root, path));
}

bool SimRegistry::KeyExists(Key root, const std::u16string& path) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return Find(RootLocation(root, path)) != nullptr;
}

bool SimRegistry::IsVolatile(Key root, const std::u16string& path) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = Find(RootLocation(root, path));
    return node && node->isVolatile;
}

std::optional<SimRegValue> SimRegistry::StoredValue(Key root, const std::u16string& path,
                                                    const std::u16string& name) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    Node* node = Find(RootLocation(root, path));
    if (!node)
        return std::nullopt;
    auto it = node->values.find(Fold(name));
    if (it == node->values.end())
        return std::nullopt;
    return it->second.value;
}

std::optional<std::u16string> SimRegistry::Value(Key root, const std::u16string& path,
                                                 const std::u16string& name) const {
    auto value = StoredValue(root, path, name);
    if (!value || !IsString(value->type))
        return std::nullopt;
    return TextOf(*value);
}

std::vector<std::u16string> SimRegistry::ValueNames(Key root, const std::u16string& path) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::u16string> names;
    if (Node* node = Find(RootLocation(root, path))) {
        for (const auto& value : node->values)
            names.push_back(value.second.name);
    }
    return names;
}

std::vector<std::u16string> SimRegistry::SubkeyNames(Key root, const std::u16string& path) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::u16string> names;
    if (Node* node = Find(RootLocation(root, path))) {
        for (const auto& child : node->children)
            names.push_back(child.second->name);
    }
    return names;
}

void SimRegistry::DumpNode(const Node& node, const std::u16string& path,
                           std::vector<std::u16string>& out) {
    for (const auto& [folded, named] : node.values) {
        const std::u16string data =
            IsString(named.value.type) ? TextOf(named.value) : HexOf(named.value);
        out.push_back(path + u"\\" + named.name + u"=" + data);
    }
    for (const auto& child : node.children) {
        std::u16string childPath = path + u"\\" + child.second->name;
        out.push_back(childPath);
        DumpNode(*child.second, childPath, out);
    }
}

std::vector<std::u16string> SimRegistry::Dump(Key root) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::u16string> out;
    DumpNode(m_roots[root], u"", out);
    return out;
}

size_t SimRegistry::OpenHandleCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_handles.size();
}

}  // namespace tav::sim

#include "sim/ports/sim_registry.h"

#include <cstring>

#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav::sim {
using namespace tav::portsvc;

namespace {

std::u16string Folded(std::u16string_view text) {
    std::u16string out(text);
    for (auto& c : out)
        c = FoldCase(c);
    return out;
}

bool EndsWithNul(const std::vector<uint8_t>& data) {
    return data.size() >= 2 && data[data.size() - 1] == 0 && data[data.size() - 2] == 0;
}

bool IsString(uint32_t type) {
    return type == sdk::kRegSz || type == sdk::kRegExpandSz || type == sdk::kRegMultiSz;
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

SimRegistry::Key* SimRegistry::DeviceKey(const std::u16string& instanceId,
                                         const DeviceKeyPlace& place) {
    auto& slot = m_deviceKeys[{Folded(instanceId), place}];
    if (!slot)
        slot = std::make_unique<Key>();
    return slot.get();
}

const SimRegistry::Key* SimRegistry::FindKey(const std::u16string& instanceId,
                                             const std::u16string& subKey,
                                             const DeviceKeyPlace& place) const {
    auto it = m_deviceKeys.find({Folded(instanceId), place});
    if (it == m_deviceKeys.end())
        return nullptr;
    if (subKey.empty())
        return it->second.get();
    auto sub = it->second->subKeys.find(Folded(subKey));
    return sub == it->second->subKeys.end() ? nullptr : sub->second.get();
}

SimRegistry::OpenKey* SimRegistry::Opened(PlatformHandle handle) {
    auto it = m_open.find(handle);
    return it == m_open.end() ? nullptr : &it->second;
}

PlatformHandle SimRegistry::NewHandle(Key* key, uint32_t access) {
    PlatformHandle handle = m_nextHandle;
    m_nextHandle += 4;
    m_open[handle] = {key, access};
    return handle;
}

uint32_t SimRegistry::OpenDeviceKey(const std::u16string& instanceId, const DeviceKeyPlace& place,
                                    uint32_t access, PlatformHandle& handle) {
    std::lock_guard<std::mutex> lock(m_mutex);
    handle = win::kNoHandle;
    uint32_t granted = 0;
    if (uint32_t error = GrantKeyAccess(m_caller, true, access, granted))
        return error;
    handle = NewHandle(DeviceKey(instanceId, place), granted);
    return win::kErrorSuccess;
}

void SimRegistry::PutValue(const std::u16string& instanceId, const std::u16string& subKey,
                           const std::u16string& name, SimRegValue value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Key* key = DeviceKey(instanceId, {});
    if (!subKey.empty()) {
        auto& slot = key->subKeys[Folded(subKey)];
        if (!slot)
            slot = std::make_unique<Key>();
        key = slot.get();
    }
    key->values[Folded(name)] = std::move(value);
}

std::optional<SimRegValue> SimRegistry::FindValue(const std::u16string& instanceId,
                                                  const std::u16string& subKey,
                                                  const std::u16string& name,
                                                  const DeviceKeyPlace& place) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Key* key = FindKey(instanceId, subKey, place);
    if (!key)
        return std::nullopt;
    auto it = key->values.find(Folded(name));
    if (it == key->values.end())
        return std::nullopt;
    return it->second;
}

bool SimRegistry::HasSubKey(const std::u16string& instanceId, const std::u16string& subKey,
                            const DeviceKeyPlace& place) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return FindKey(instanceId, subKey, place) != nullptr;
}

int SimRegistry::OpenKeyCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_open.size());
}

void SimRegistry::SetCaller(SimCaller caller) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_caller = caller;
}

void SimRegistry::DropVolatile(Key& key) {
    for (auto it = key.subKeys.begin(); it != key.subKeys.end();) {
        if (it->second->isVolatile) {
            it = key.subKeys.erase(it);
        } else {
            DropVolatile(*it->second);
            ++it;
        }
    }
}

void SimRegistry::RestartMachine() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_open.clear();
    for (auto& [id, key] : m_deviceKeys)
        DropVolatile(*key);
}

// RegGetValueW. A string comes back NUL-terminated, so a string stored without its NUL
// needs two bytes more than it holds.
uint32_t SimRegistry::GetValue(PlatformHandle handle, const char16_t* subKey,
                               const char16_t* valueName, uint32_t flags, uint32_t* type,
                               void* data, uint32_t* dataSize) {
    if (auto error = m_trace.Enter("RegGetValueW", ToUtf8(subKey ? subKey : u"") + "\\" +
                                                       ToUtf8(valueName ? valueName : u"")))
        return *error;
    if (uint32_t error = CheckGetValueFlags(flags))
        return error;
    std::lock_guard<std::mutex> lock(m_mutex);
    OpenKey* open = Opened(handle);
    if (!open)
        return win::kErrorInvalidHandle;
    if (uint32_t error = CheckRight(open->access, KeyOperation::kQueryValue))
        return error;
    Key* key = open->key;
    if (subKey && subKey[0] != 0) {
        auto sub = key->subKeys.find(Folded(subKey));
        if (sub == key->subKeys.end())
            return win::kErrorFileNotFound;
        key = sub->second.get();
    }
    auto it = key->values.find(Folded(valueName ? valueName : u""));
    if (it == key->values.end())
        return win::kErrorFileNotFound;
    const SimRegValue& value = it->second;
    if (!TypeAllowed(flags, value.type))
        return sdk::kErrorUnsupportedType;
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

uint32_t SimRegistry::CreateKey(PlatformHandle handle, const char16_t* subKey, uint32_t options,
                                uint32_t access, PlatformHandle* result, uint32_t* disposition) {
    if (auto error = m_trace.Enter("RegCreateKeyExW", ToUtf8(subKey) +
                                                          " options=" + std::to_string(options) +
                                                          " access=" + std::to_string(access)))
        return *error;
    *result = win::kNoHandle;
    // REG_OPTION_CREATE_LINK, _BACKUP_RESTORE, _OPEN_LINK and _DONT_VIRTUALIZE are valid on
    // Windows but never passed by our code: refused with 87 like unknown bits.
    if ((options & ~sdk::kRegOptionVolatile) != 0)
        return sdk::kErrorInvalidParameter;
    std::lock_guard<std::mutex> lock(m_mutex);
    OpenKey* parent = Opened(handle);
    if (!parent)
        return win::kErrorInvalidHandle;
    uint32_t granted = 0;
    if (uint32_t error = GrantKeyAccess(m_caller, true, access, granted))
        return error;
    // The documented right on the parent, whether the subkey is new or not.
    if (uint32_t error = CheckRight(parent->access, KeyOperation::kCreateSubKey))
        return error;
    auto& slot = parent->key->subKeys[Folded(subKey)];
    const bool created = !slot;
    if (created) {
        const bool isVolatile = (options & sdk::kRegOptionVolatile) != 0;
        if (parent->key->isVolatile && !isVolatile) {
            parent->key->subKeys.erase(Folded(subKey));
            return sdk::kErrorChildMustBeVolatile;
        }
        slot = std::make_unique<Key>();
        slot->isVolatile = isVolatile;
    }
    if (disposition)
        *disposition = created ? 1 : 2;  // REG_CREATED_NEW_KEY / REG_OPENED_EXISTING_KEY
    *result = NewHandle(slot.get(), granted);
    return win::kErrorSuccess;
}

uint32_t SimRegistry::SetValue(PlatformHandle handle, const char16_t* valueName, uint32_t type,
                               const void* data, uint32_t dataSize) {
    if (auto error =
            m_trace.Enter("RegSetValueExW", ToUtf8(valueName) + " type=" + std::to_string(type) +
                                                " bytes=" + std::to_string(dataSize)))
        return *error;
    std::lock_guard<std::mutex> lock(m_mutex);
    OpenKey* open = Opened(handle);
    if (!open)
        return win::kErrorInvalidHandle;
    if (uint32_t error = CheckRight(open->access, KeyOperation::kSetValue))
        return error;
    const auto* bytes = static_cast<const uint8_t*>(data);
    open->key->values[Folded(valueName)] =
        SimRegValue{type, std::vector<uint8_t>(bytes, bytes + dataSize)};
    return win::kErrorSuccess;
}

uint32_t SimRegistry::CloseKey(PlatformHandle handle) {
    if (auto error = m_trace.Enter("RegCloseKey"))
        return *error;
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_open.erase(handle) ? win::kErrorSuccess : win::kErrorInvalidHandle;
}

}  // namespace tav::sim

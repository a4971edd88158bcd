#include "sim/ports/sim_registry.h"

#include <cstring>

#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav::sim {

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

SimRegistry::Key* SimRegistry::HardwareKey(const std::u16string& instanceId) {
    auto& slot = m_hardwareKeys[Folded(instanceId)];
    if (!slot)
        slot = std::make_unique<Key>();
    return slot.get();
}

const SimRegistry::Key* SimRegistry::FindKey(const std::u16string& instanceId,
                                             const std::u16string& subKey) const {
    auto it = m_hardwareKeys.find(Folded(instanceId));
    if (it == m_hardwareKeys.end())
        return nullptr;
    if (subKey.empty())
        return it->second.get();
    auto sub = it->second->subKeys.find(Folded(subKey));
    return sub == it->second->subKeys.end() ? nullptr : sub->second.get();
}

SimRegistry::Key* SimRegistry::KeyOf(PlatformHandle handle) {
    auto it = m_open.find(handle);
    return it == m_open.end() ? nullptr : it->second;
}

PlatformHandle SimRegistry::NewHandle(Key* key) {
    PlatformHandle handle = m_nextHandle;
    m_nextHandle += 4;
    m_open[handle] = key;
    return handle;
}

PlatformHandle SimRegistry::OpenHardwareKey(const std::u16string& instanceId) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return NewHandle(HardwareKey(instanceId));
}

void SimRegistry::PutValue(const std::u16string& instanceId, const std::u16string& subKey,
                           const std::u16string& name, SimRegValue value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Key* key = HardwareKey(instanceId);
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
                                                  const std::u16string& name) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Key* key = FindKey(instanceId, subKey);
    if (!key)
        return std::nullopt;
    auto it = key->values.find(Folded(name));
    if (it == key->values.end())
        return std::nullopt;
    return it->second;
}

bool SimRegistry::HasSubKey(const std::u16string& instanceId, const std::u16string& subKey) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return FindKey(instanceId, subKey) != nullptr;
}

int SimRegistry::OpenKeyCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_open.size());
}

// RegGetValueW restricted to REG_SZ: the string comes back NUL-terminated, so a value
// stored without its NUL needs two bytes more than it holds.
uint32_t SimRegistry::GetValue(PlatformHandle handle, const char16_t* subKey,
                               const char16_t* valueName, uint32_t flags, uint32_t* type,
                               void* data, uint32_t* dataSize) {
    if (auto error = m_trace.Enter("RegGetValueW", ToUtf8(subKey ? subKey : u"") + "\\" +
                                                       ToUtf8(valueName ? valueName : u"")))
        return *error;
    std::lock_guard<std::mutex> lock(m_mutex);
    Key* key = KeyOf(handle);
    if (!key)
        return win::kErrorInvalidHandle;
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
    if ((flags & win::kRrfRtRegSz) == 0 || value.type != win::kRegSz)
        return win::kErrorUnsupportedType;
    auto required = static_cast<uint32_t>(value.data.size() + (EndsWithNul(value.data) ? 0 : 2));
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
    std::lock_guard<std::mutex> lock(m_mutex);
    Key* key = KeyOf(handle);
    if (!key)
        return win::kErrorInvalidHandle;
    auto& slot = key->subKeys[Folded(subKey)];
    bool created = !slot;
    if (created)
        slot = std::make_unique<Key>();
    if (disposition)
        *disposition = created ? 1 : 2;  // REG_CREATED_NEW_KEY / REG_OPENED_EXISTING_KEY
    *result = NewHandle(slot.get());
    return win::kErrorSuccess;
}

uint32_t SimRegistry::SetValue(PlatformHandle handle, const char16_t* valueName, uint32_t type,
                               const void* data, uint32_t dataSize) {
    if (auto error =
            m_trace.Enter("RegSetValueExW", ToUtf8(valueName) + " type=" + std::to_string(type) +
                                                " bytes=" + std::to_string(dataSize)))
        return *error;
    std::lock_guard<std::mutex> lock(m_mutex);
    Key* key = KeyOf(handle);
    if (!key)
        return win::kErrorInvalidHandle;
    const auto* bytes = static_cast<const uint8_t*>(data);
    key->values[Folded(valueName)] =
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

#include "portlink/core/device_entry_list.h"

#include <new>

namespace tav::portsvc {

DeviceEntry* DeviceEntryList::AppendDeviceEntry(const char16_t* text,
                                                OwnedRegistryKey key) noexcept {
    try {
        DeviceEntry entry{text, std::move(key)};
        return &m_entries.emplace_back(std::move(entry));
    } catch (const std::bad_alloc&) {
        // Out of memory for this entry: it is left out of the pass, its key closed.
        return nullptr;
    }
}

}  // namespace tav::portsvc

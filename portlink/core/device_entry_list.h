#pragma once
// The two lists a reconcile pass builds: ports (link value, open hardware key) and printers
// (device path). Appended at the tail, so they keep the enumeration order. The list owns
// every text and key: Clear and the destructor close every key.

#include <string>
#include <vector>

#include "portlink/core/owned_handles.h"

namespace tav::portsvc {

struct DeviceEntry {
    std::u16string text;   // port: the link as read (empty: free); printer: its device path
    OwnedRegistryKey key;  // port: its open hardware key; printer: none

    bool HasEmptyText() const { return text.empty(); }
};

class DeviceEntryList {
  public:
    DeviceEntryList() = default;
    DeviceEntryList(const DeviceEntryList&) = delete;
    DeviceEntryList& operator=(const DeviceEntryList&) = delete;

    // Copies `text` (not null) up to its NUL, takes `key` over and appends the entry at the tail.
    // Returns the entry, or nullptr when an allocation fails: nothing is appended and the
    // key is closed.
    [[nodiscard]] DeviceEntry* AppendDeviceEntry(const char16_t* text,
                                                 OwnedRegistryKey key) noexcept;

    // Closes every key and drops every entry.
    void Clear() noexcept { m_entries.clear(); }

    std::vector<DeviceEntry>& Entries() { return m_entries; }
    const std::vector<DeviceEntry>& Entries() const { return m_entries; }

  private:
    std::vector<DeviceEntry> m_entries;
};

}  // namespace tav::portsvc

#pragma once
// The two lists a reconcile pass builds: ports (link value, open hardware key) and printers
// (device path). Singly linked, appended at the tail, so they keep the enumeration order.
// The list owns every node, text and key: Clear and the destructor free texts, close keys
// and free nodes.

#include <atomic>
#include <cstdint>

#include "tavportsvc/core/platform_types.h"
#include "tavportsvc/core/registry_api.h"

namespace tav {

struct DeviceEntry {
    char16_t* text = nullptr;             // owned; may be absent
    PlatformHandle key = win::kNoHandle;  // owned open registry key, or none
    DeviceEntry* next = nullptr;          // owned

    DeviceEntry();
    ~DeviceEntry();
    DeviceEntry(const DeviceEntry&) = delete;
    DeviceEntry& operator=(const DeviceEntry&) = delete;

    // Nodes alive in the process, to prove a pass frees every node it made.
    static int LiveCount();

    bool HasEmptyText() const { return text != nullptr && text[0] == 0; }
};

// A heap copy of `text` (length + 1 units), or nullptr when `text` is absent or the
// allocation fails.
char16_t* CopyText(const char16_t* text);

class DeviceEntryList {
  public:
    explicit DeviceEntryList(RegistryApi& registry) : m_registry(registry) {}
    ~DeviceEntryList() { Clear(); }
    DeviceEntryList(const DeviceEntryList&) = delete;
    DeviceEntryList& operator=(const DeviceEntryList&) = delete;

    // Allocates a node, copies the text, stores the key and links the node at the tail.
    // Returns the node, or nullptr when an allocation fails (nothing appended, the key not
    // taken over).
    DeviceEntry* AppendDeviceEntry(const char16_t* text, PlatformHandle key);

    // Frees every text, closes every key and frees every node.
    void Clear();

    DeviceEntry* Head() const { return m_head; }

  private:
    RegistryApi& m_registry;
    DeviceEntry* m_head = nullptr;
    DeviceEntry* m_tail = nullptr;
};

}  // namespace tav

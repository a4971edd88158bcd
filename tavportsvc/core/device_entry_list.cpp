#include "tavportsvc/core/device_entry_list.h"

#include <new>

#include "shared/u16.h"

namespace tav {

namespace {
std::atomic<int> g_liveEntries{0};
}  // namespace

DeviceEntry::DeviceEntry() {
    g_liveEntries.fetch_add(1, std::memory_order_relaxed);
}

DeviceEntry::~DeviceEntry() {
    delete[] text;
    g_liveEntries.fetch_sub(1, std::memory_order_relaxed);
}

int DeviceEntry::LiveCount() {
    return g_liveEntries.load(std::memory_order_relaxed);
}

char16_t* CopyText(const char16_t* text) {
    if (!text)
        return nullptr;
    size_t units = U16Length(text) + 1;
    auto* copy = new (std::nothrow) char16_t[units];
    if (!copy)
        return nullptr;
    for (size_t i = 0; i < units; ++i)
        copy[i] = text[i];
    return copy;
}

DeviceEntry* DeviceEntryList::AppendDeviceEntry(const char16_t* text, PlatformHandle key) {
    auto* node = new (std::nothrow) DeviceEntry();
    if (!node)
        return nullptr;
    if (text) {
        node->text = CopyText(text);
        if (!node->text) {
            delete node;
            return nullptr;
        }
    }
    node->key = key;
    if (m_tail)
        m_tail->next = node;
    else
        m_head = node;
    m_tail = node;
    return node;
}

void DeviceEntryList::Clear() {
    DeviceEntry* node = m_head;
    while (node) {
        DeviceEntry* next = node->next;
        if (node->key != win::kNoHandle)
            m_registry.CloseKey(node->key);
        delete node;
        node = next;
    }
    m_head = nullptr;
    m_tail = nullptr;
}

}  // namespace tav

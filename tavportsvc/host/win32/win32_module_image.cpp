#include <windows.h>

#include "shared/win32/wide.h"
#include "tavportsvc/host/win32/win32_host_adapters.h"

namespace tav::portsvc::host {

uint32_t Win32ModuleImage::FileName(uint32_t capacity, std::u16string& path, uint32_t& error) {
    std::wstring buffer(capacity, L'\0');
    DWORD length = ::GetModuleFileNameW(nullptr, &buffer[0], capacity);
    error = length == 0 ? ::GetLastError() : 0;
    buffer.resize(length < capacity ? length : capacity - 1);
    path = FromWide(buffer.c_str());
    return length;
}

std::u16string Win32ModuleImage::LoadStringResource(uint32_t id) {
    wchar_t buffer[256] = {};
    ::LoadStringW(::GetModuleHandleW(nullptr), id, buffer, 256);
    return FromWide(buffer);
}

bool Win32ModuleImage::LoadResource(const std::u16string& type, uint32_t id,
                                    std::vector<uint8_t>& bytes) {
    HMODULE self = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(self, MAKEINTRESOURCEW(id), AsWide(type));
    HGLOBAL loaded = found ? ::LoadResource(self, found) : nullptr;
    const auto* data = loaded ? static_cast<const uint8_t*>(::LockResource(loaded)) : nullptr;
    if (!data)
        return false;
    bytes.assign(data, data + ::SizeofResource(self, found));
    return true;
}

char16_t Win32ModuleImage::UpperCase(char16_t c) {
    // CharUpperW takes a single character in the low word of its pointer argument.
    auto single = reinterpret_cast<uintptr_t>(
        ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<uintptr_t>(c))));
    return static_cast<char16_t>(single & 0xFFFF);
}

}  // namespace tav::portsvc::host

#include "tavsetup/shell/win32/version_info_source.h"

#include <windows.h>

#include "shared/win32/wide.h"

namespace tav::setup {

std::u16string Win32VersionInfoSource::ModuleFileName(uint32_t capacity) {
    std::wstring path(capacity, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, &path[0], capacity);
    path.resize(length < capacity ? length : 0);
    return FromWide(path.c_str());
}

uint32_t Win32VersionInfoSource::InfoSize(const std::u16string& path) {
    DWORD handle = 0;
    return ::GetFileVersionInfoSizeW(AsWide(path), &handle);
}

bool Win32VersionInfoSource::ReadInfo(const std::u16string& path, std::vector<uint8_t>& info) {
    return ::GetFileVersionInfoW(AsWide(path), 0, static_cast<DWORD>(info.size()), info.data()) !=
           FALSE;
}

std::optional<VersionInfoSource::Translation> Win32VersionInfoSource::QueryTranslation(
    const std::vector<uint8_t>& info) {
    void* value = nullptr;
    UINT size = 0;
    if (!::VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &value, &size) ||
        size < sizeof(WORD) * 2)
        return std::nullopt;
    const WORD* pair = static_cast<const WORD*>(value);
    return Translation{pair[0], pair[1]};
}

std::optional<std::u16string> Win32VersionInfoSource::QueryString(const std::vector<uint8_t>& info,
                                                                  const std::u16string& subBlock) {
    void* value = nullptr;
    UINT size = 0;
    if (!::VerQueryValueW(info.data(), AsWide(subBlock), &value, &size) || !value)
        return std::nullopt;
    return FromWide(static_cast<const wchar_t*>(value));
}

}  // namespace tav::setup

#include "printer/settings/win32/win32_file_system.h"

#include <windows.h>

#include <shlwapi.h>

#include "shared/win32/wide.h"

namespace tav::setup {

namespace {

FindEntry ToEntry(const WIN32_FIND_DATAW& data) {
    return {data.dwFileAttributes, FromWide(data.cFileName)};
}

HANDLE ToFind(Handle find) {
    return reinterpret_cast<HANDLE>(find);
}

}  // namespace

Handle Win32FileSystem::FindFirst(const std::u16string& pattern, FindEntry& entry) {
    WIN32_FIND_DATAW data;
    const HANDLE find = ::FindFirstFileW(AsWide(pattern), &data);
    if (find == INVALID_HANDLE_VALUE)
        return win::kNoHandle;
    entry = ToEntry(data);
    return reinterpret_cast<Handle>(find);
}

bool Win32FileSystem::FindNext(Handle find, FindEntry& entry) {
    WIN32_FIND_DATAW data;
    if (!::FindNextFileW(ToFind(find), &data))
        return false;
    entry = ToEntry(data);
    return true;
}

bool Win32FileSystem::CloseFind(Handle find) {
    return ::FindClose(ToFind(find)) != FALSE;
}

bool Win32FileSystem::FileExists(const std::u16string& path) {
    return ::PathFileExistsW(AsWide(path)) != FALSE;
}

uint32_t Win32FileSystem::SystemDirectory(char16_t* buffer, uint32_t size) {
    return ::GetSystemDirectoryW(reinterpret_cast<wchar_t*>(buffer), size);
}

uint32_t Win32FileSystem::WindowsDirectory(char16_t* buffer, uint32_t size) {
    return ::GetSystemWindowsDirectoryW(reinterpret_cast<wchar_t*>(buffer), size);
}

uint32_t Win32FileSystem::ModuleFileName(char16_t* buffer, uint32_t size) {
    return ::GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(buffer), size);
}

}  // namespace tav::setup

#pragma once
// FileSystem over FindFirstFileW, FindNextFileW, FindClose, PathFileExistsW,
// GetSystemDirectoryW, GetSystemWindowsDirectoryW and GetModuleFileNameW.

#include "printer/settings/file_system.h"

namespace tav::setup {

class Win32FileSystem : public FileSystem {
  public:
    Handle FindFirst(const std::u16string& pattern, FindEntry& entry) override;
    bool FindNext(Handle find, FindEntry& entry) override;
    bool CloseFind(Handle find) override;
    bool FileExists(const std::u16string& path) override;
    uint32_t SystemDirectory(char16_t* buffer, uint32_t size) override;
    uint32_t WindowsDirectory(char16_t* buffer, uint32_t size) override;
    uint32_t ModuleFileName(char16_t* buffer, uint32_t size) override;
};

}  // namespace tav::setup

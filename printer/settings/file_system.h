#pragma once
// The file calls the driver package lookup needs. Methods keep Windows' results:
// attributes as FILE_ATTRIBUTE_* bits, lengths in UTF-16 units, 0 on failure.

#include <cstdint>
#include <string>

#include "printer/link/platform.h"
#include "shared/unique_handle.h"
#include "shared/win/files.h"

namespace tav::setup {

struct FindEntry {
    uint32_t attributes = 0;
    std::u16string name;  // file name only, as the listing gives it
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // FindFirstFileW: win::kNoHandle when nothing matches or the folder cannot be listed.
    virtual Handle FindFirst(const std::u16string& pattern, FindEntry& entry) = 0;
    // FindNextFileW: false after the last entry.
    virtual bool FindNext(Handle find, FindEntry& entry) = 0;
    virtual bool CloseFind(Handle find) = 0;
    // PathFileExistsW.
    virtual bool FileExists(const std::u16string& path) = 0;
    // GetSystemDirectoryW: the length copied (without NUL), the size needed when `size`
    // is too small, 0 on failure.
    virtual uint32_t SystemDirectory(char16_t* buffer, uint32_t size) = 0;
    // GetSystemWindowsDirectoryW (the shared Windows folder, whose INF folder holds the
    // published INFs), with the same results.
    virtual uint32_t WindowsDirectory(char16_t* buffer, uint32_t size) = 0;
    // GetModuleFileNameW for the running executable: the length copied; `size` when the
    // path was cut; 0 on failure.
    virtual uint32_t ModuleFileName(char16_t* buffer, uint32_t size) = 0;
};

// One open listing, closed with FindClose when it goes out of scope.
class FindListing {
  public:
    FindListing(FileSystem& files, const std::u16string& pattern)
        : m_files(files), m_find(files, files.FindFirst(pattern, m_entry)) {}

    bool Opened() const { return m_find.valid(); }
    bool Next() { return m_files.FindNext(m_find.get(), m_entry); }
    const FindEntry& Entry() const { return m_entry; }

  private:
    FileSystem& m_files;
    FindEntry m_entry;
    UniqueHandle<Handle, win::kNoHandle, FileSystem, &FileSystem::CloseFind> m_find;
};

}  // namespace tav::setup

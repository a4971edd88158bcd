#pragma once
// File systems for the driver package lookup: an in-memory one whose listings come in a
// scripted order, and one over real folders that shows POSIX paths with backslashes.
// Both count open listings so tests can assert that every listing was closed.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "printer/settings/driver_store.h"
#include "printer/settings/file_system.h"
#include "shared/last_error.h"

namespace tav::test {

class ListingCounter {
  public:
    int opened = 0;
    int closed = 0;
    std::vector<std::u16string> patterns;  // every FindFirstFile pattern, in order
};

class MemoryFileSystem : public setup::FileSystem {
  public:
    std::u16string modulePath = u"C:\\App\\tavsetup.exe";
    std::u16string systemDirectory = u"C:\\Windows\\system32";
    std::u16string windowsDirectory = u"C:\\Windows";
    std::map<std::u16string, std::vector<setup::FindEntry>> listings;  // by exact pattern
    std::set<std::u16string> existing;
    std::vector<std::u16string> existenceTests;
    ListingCounter counter;
    bool failSystemDirectory = false;

    void Dir(const std::u16string& pattern, std::vector<setup::FindEntry> entries) {
        listings[pattern] = std::move(entries);
    }

    setup::Handle FindFirst(const std::u16string& pattern, setup::FindEntry& entry) override;
    bool FindNext(setup::Handle find, setup::FindEntry& entry) override;
    bool CloseFind(setup::Handle find) override;
    bool FileExists(const std::u16string& path) override;
    uint32_t SystemDirectory(char16_t* buffer, uint32_t size) override;
    uint32_t WindowsDirectory(char16_t* buffer, uint32_t size) override;
    uint32_t ModuleFileName(char16_t* buffer, uint32_t size) override;

  private:
    struct Open {
        std::vector<setup::FindEntry> entries;
        size_t next;
    };
    std::map<setup::Handle, Open> m_open;
    setup::Handle m_nextHandle = 0x100;
};

class PosixFileSystem : public setup::FileSystem {
  public:
    // Paths as the lookup sees them: backslashes for slashes.
    static std::u16string Windows(const std::string& posixPath);
    static std::string Posix(const std::u16string& windowsPath);

    std::u16string modulePath;
    std::u16string systemDirectory;
    std::u16string windowsDirectory;
    ListingCounter counter;

    setup::Handle FindFirst(const std::u16string& pattern, setup::FindEntry& entry) override;
    bool FindNext(setup::Handle find, setup::FindEntry& entry) override;
    bool CloseFind(setup::Handle find) override;
    bool FileExists(const std::u16string& path) override;
    uint32_t SystemDirectory(char16_t* buffer, uint32_t size) override;
    uint32_t WindowsDirectory(char16_t* buffer, uint32_t size) override;
    uint32_t ModuleFileName(char16_t* buffer, uint32_t size) override;

  private:
    std::map<setup::Handle, std::pair<std::vector<setup::FindEntry>, size_t>> m_open;
    setup::Handle m_nextHandle = 0x100;
};

// DriverPackageGetPathW answers as scripted; SetupAPI's query is never expected here.
class RecordingDriverStore : public setup::DriverStore {
  public:
    uint32_t result = 122;
    uint32_t numChars = 64;
    std::vector<std::u16string> asked;

    uint32_t DriverPackageGetPath(const std::u16string& infPath, char16_t* destination,
                                  uint32_t* pNumChars) override {
        asked.push_back(infPath);
        if (destination != nullptr || pNumChars == nullptr || *pNumChars != 0)
            return 87;  // the lookup asks for the length only
        *pNumChars = numChars;
        return result;
    }
    int InfDriverStoreLocation(const std::u16string& infName, char16_t*, uint32_t,
                               uint32_t*) override {
        asked.push_back(infName);
        SetLastErrorCode(win::kErrorInvalidFunction);
        return 0;
    }
};

class RecordingDebugOutput : public setup::DebugOutput {
  public:
    std::vector<std::u16string> texts;
    void Write(const char16_t* text) override { texts.emplace_back(text); }
};

}  // namespace tav::test

#include "tests/settings/file_system_fakes.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>

#include "shared/u16.h"

namespace tav::test {
using namespace tav::setup;

namespace {

uint32_t CopyOut(const std::u16string& text, char16_t* buffer, uint32_t size) {
    if (text.size() >= size) {  // cut, as GetModuleFileNameW does
        std::copy_n(text.begin(), size - 1, buffer);
        buffer[size - 1] = 0;
        return size;
    }
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = 0;
    return static_cast<uint32_t>(text.size());
}

}  // namespace

Handle MemoryFileSystem::FindFirst(const std::u16string& pattern, FindEntry& entry) {
    counter.patterns.push_back(pattern);
    auto it = listings.find(pattern);
    if (it == listings.end() || it->second.empty())
        return win::kNoHandle;
    ++counter.opened;
    const Handle h = m_nextHandle++;
    m_open[h] = Open{it->second, 1};
    entry = it->second.front();
    return h;
}

bool MemoryFileSystem::FindNext(Handle find, FindEntry& entry) {
    Open& open = m_open.at(find);
    if (open.next >= open.entries.size())
        return false;
    entry = open.entries[open.next++];
    return true;
}

bool MemoryFileSystem::CloseFind(Handle find) {
    ++counter.closed;
    return m_open.erase(find) == 1;
}

bool MemoryFileSystem::FileExists(const std::u16string& path) {
    existenceTests.push_back(path);
    return existing.count(path) != 0;
}

uint32_t MemoryFileSystem::SystemDirectory(char16_t* buffer, uint32_t size) {
    if (failSystemDirectory)
        return 0;
    return CopyOut(systemDirectory, buffer, size);
}

uint32_t MemoryFileSystem::WindowsDirectory(char16_t* buffer, uint32_t size) {
    return windowsDirectory.empty() ? 0 : CopyOut(windowsDirectory, buffer, size);
}

uint32_t MemoryFileSystem::ModuleFileName(char16_t* buffer, uint32_t size) {
    return modulePath.empty() ? 0 : CopyOut(modulePath, buffer, size);
}

std::u16string PosixFileSystem::Windows(const std::string& posixPath) {
    std::u16string path = FromUtf8(posixPath);
    std::replace(path.begin(), path.end(), u'/', u'\\');
    return path;
}

std::string PosixFileSystem::Posix(const std::u16string& windowsPath) {
    std::string path = ToUtf8(windowsPath);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

Handle PosixFileSystem::FindFirst(const std::u16string& pattern, FindEntry& entry) {
    counter.patterns.push_back(pattern);
    const std::string posix = Posix(pattern);
    const size_t slash = posix.rfind('/');
    const std::string folder = posix.substr(0, slash);
    const std::string mask = posix.substr(slash + 1);
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return win::kNoHandle;
    std::vector<FindEntry> entries;
    while (dirent* d = readdir(dir)) {
        if (fnmatch(mask.c_str(), d->d_name, FNM_CASEFOLD) != 0)
            continue;
        struct stat st {};
        const bool isDir =
            stat((folder + "/" + d->d_name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        entries.push_back({isDir ? win::kFileAttributeDirectory : 0x20u, FromUtf8(d->d_name)});
    }
    closedir(dir);
    if (entries.empty())
        return win::kNoHandle;
    ++counter.opened;
    const Handle h = m_nextHandle++;
    entry = entries.front();
    m_open[h] = {std::move(entries), 1};
    return h;
}

bool PosixFileSystem::FindNext(Handle find, FindEntry& entry) {
    auto& open = m_open.at(find);
    if (open.second >= open.first.size())
        return false;
    entry = open.first[open.second++];
    return true;
}

bool PosixFileSystem::CloseFind(Handle find) {
    ++counter.closed;
    return m_open.erase(find) == 1;
}

bool PosixFileSystem::FileExists(const std::u16string& path) {
    struct stat st {};
    return stat(Posix(path).c_str(), &st) == 0;
}

uint32_t PosixFileSystem::SystemDirectory(char16_t* buffer, uint32_t size) {
    return CopyOut(systemDirectory, buffer, size);
}

uint32_t PosixFileSystem::WindowsDirectory(char16_t* buffer, uint32_t size) {
    return CopyOut(windowsDirectory, buffer, size);
}

uint32_t PosixFileSystem::ModuleFileName(char16_t* buffer, uint32_t size) {
    return CopyOut(modulePath, buffer, size);
}

}  // namespace tav::test

#include "sim/printer/sim_driver_store.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "shared/last_error.h"
#include "shared/u16.h"
#include "sim/windows_values.h"

namespace tav::sim {

namespace {

constexpr char16_t kRepository[] = u"C:\\Windows\\System32\\DriverStore\\FileRepository\\";

bool SameNoCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

std::u16string_view FolderOf(std::u16string_view path) {
    const size_t slash = path.rfind(u'\\');
    return slash == std::u16string_view::npos ? std::u16string_view{} : path.substr(0, slash);
}

std::u16string_view NameOf(std::u16string_view path) {
    const size_t slash = path.rfind(u'\\');
    return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

std::u16string Lower(std::u16string_view text) {
    std::u16string out(text);
    std::transform(out.begin(), out.end(), out.begin(), FoldCase);
    return out;
}

int Fail(uint32_t error) {
    SetLastErrorCode(error);
    return 0;
}

}  // namespace

std::u16string SimDriverStore::Stage(const std::u16string& sourceInf) {
    const std::u16string name = Lower(NameOf(sourceInf));
    char hash[20];
    std::snprintf(hash, sizeof hash, "%016llx", 0x5eed0000a11c0de0ull + m_packages.size());
    Package package{sourceInf, u"oem" + FromUtf8(std::to_string(m_packages.size())) + u".inf",
                    kRepository + name + u"_x86_" + FromUtf8(hash) + u"\\" + name};
    m_packages.push_back(package);
    return package.published;
}

std::vector<std::u16string> SimDriverStore::PublishedNames() const {
    std::vector<std::u16string> names;
    for (const Package& package : m_packages)
        names.push_back(package.published);
    return names;
}

const SimDriverStore::Package* SimDriverStore::BySource(const std::u16string& path) const {
    for (const Package& package : m_packages)
        if (SameNoCase(package.sourceInf, path))
            return &package;
    return nullptr;
}

const SimDriverStore::Package* SimDriverStore::ByInfName(const std::u16string& name) const {
    const std::u16string_view folder = FolderOf(name);
    const bool published = folder.empty() || SameNoCase(folder, kInfFolder);
    for (const Package& package : m_packages)
        if (published ? SameNoCase(package.published, NameOf(name))
                      : SameNoCase(package.stored, name))
            return &package;
    return nullptr;
}

uint32_t SimDriverStore::DriverPackageGetPath(const std::u16string& infPath, char16_t* destination,
                                              uint32_t* numChars) {
    if (auto error = m_trace.Enter("DriverPackageGetPathW", ToUtf8(infPath)))
        return *error;
    if (!difxapiPresent)
        return sdk::kErrorModNotFound;  // LoadLibraryW's answer for an absent library
    if (numChars == nullptr || (destination == nullptr && *numChars != 0))
        return sdk::kErrorInvalidParameter;
    // DIFx takes the package's own INF, never a published copy.
    if (SameNoCase(FolderOf(infPath), kInfFolder))
        return sdk::kErrorCantAccessFile;
    const Package* package = BySource(infPath);
    if (package == nullptr)
        return sdk::kErrorDriverPackageNotInStore;
    const auto needed = static_cast<uint32_t>(package->stored.size() + 1);
    if (*numChars < needed) {
        *numChars = needed;
        return sdk::kErrorInsufficientBuffer;
    }
    std::copy(package->stored.begin(), package->stored.end(), destination);
    destination[package->stored.size()] = 0;
    *numChars = needed;
    return 0;
}

int SimDriverStore::InfDriverStoreLocation(const std::u16string& infName, char16_t* buffer,
                                           uint32_t size, uint32_t* required) {
    if (auto error = m_trace.Enter("SetupGetInfDriverStoreLocationW", ToUtf8(infName)))
        return Fail(*error);
    if (infName.empty() || (buffer == nullptr && size != 0))
        return Fail(sdk::kErrorInvalidParameter);
    // Only a published or stored INF is placed; the documentation names no error for any
    // other, and the lookup reads every failure alike.
    const Package* package = ByInfName(infName);
    if (package == nullptr)
        return Fail(sdk::kErrorFileNotFound);
    const auto needed = static_cast<uint32_t>(package->stored.size() + 1);
    if (required != nullptr)
        *required = needed;
    if (size < needed)
        return Fail(sdk::kErrorInsufficientBuffer);
    std::copy(package->stored.begin(), package->stored.end(), buffer);
    buffer[package->stored.size()] = 0;
    return 1;
}

}  // namespace tav::sim

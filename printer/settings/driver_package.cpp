#include "printer/settings/driver_package.h"

#include <string_view>

#include "printer/settings/bounded_path.h"
#include "printer/settings/module_directory.h"
#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav::setup {

namespace {

bool IsDirectory(const FindEntry& entry) {
    return (entry.attributes & win::kFileAttributeDirectory) != 0;
}

std::optional<std::u16string> FirstInfIn(FileSystem& files, const std::u16string& directory,
                                         const std::u16string& folder) {
    const std::u16string base = directory + u"\\" + folder + u"\\";
    FindListing listing(files, BoundedPath({base, kPackageInfPattern}));
    if (!listing.Opened())
        return std::nullopt;
    do {
        if (!IsDirectory(listing.Entry()))
            return BoundedPath({base, listing.Entry().name});
    } while (listing.Next());
    return std::nullopt;
}

std::u16string_view FileNameOf(std::u16string_view path) {
    const size_t slash = path.rfind(u'\\');
    return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

bool SameNameNoCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

// Without difxapi: whether a published INF's store copy carries `inf`'s file name (the store
// keeps each package INF under its original name; SetupAPI answers only for published or
// stored INFs, never for the package's own copy). Published INFs are asked in listing order;
// one the store cannot place is passed over.
bool IsPublishedInStore(DriverPackagePlatform& platform, const std::u16string& inf) {
    char16_t windowsDirectory[kPathBufferUnits] = {};
    const uint32_t length = platform.files.WindowsDirectory(windowsDirectory, kPathBufferUnits);
    if (length == 0 || length >= kPathBufferUnits)
        return false;
    FindListing listing(platform.files, BoundedPath({windowsDirectory, kPublishedInfPattern}));
    if (!listing.Opened())
        return false;
    do {
        if (IsDirectory(listing.Entry()))
            continue;
        // MAX_PATH is the longest store path SetupAPI answers; the buffer holds more.
        char16_t stored[kPathBufferUnits] = {};
        uint32_t required = 0;
        if (platform.store.InfDriverStoreLocation(listing.Entry().name, stored, kPathBufferUnits,
                                                  &required) != 0 &&
            SameNameNoCase(FileNameOf(stored), FileNameOf(inf)))
            return true;
    } while (listing.Next());
    return false;
}

bool AskDriverStore(DriverPackagePlatform& platform, const std::u16string& inf) {
    uint32_t numChars = 0;
    const uint32_t result = platform.store.DriverPackageGetPath(inf, nullptr, &numChars);
    if (result == win::kErrorModNotFound) {  // no difxapi.dll on this Windows
        platform.debug.Write(u"MOD_NOT_FOUND");
        if (IsPublishedInStore(platform, inf))
            return true;
        platform.debug.Write(u"DRIVER_PACKAGE_NOT_IN_STORE");
        return false;
    }
    const DriverStoreVerdict verdict = JudgeDriverStoreResult(result, numChars);
    if (verdict.debugText != nullptr)
        platform.debug.Write(verdict.debugText);
    return verdict.installed;
}

bool UmdfDriverFileExists(FileSystem& files) {
    char16_t systemDirectory[kPathBufferUnits] = {};
    const uint32_t length = files.SystemDirectory(systemDirectory, kPathBufferUnits);
    if (length == 0 || length >= kPathBufferUnits)
        return false;
    return files.FileExists(BoundedPath({systemDirectory, kUmdfDriverFile}));
}

}  // namespace

DriverStoreVerdict JudgeDriverStoreResult(uint32_t result, uint32_t numChars) {
    switch (result) {
        case win::kErrorInsufficientBuffer:
            return numChars != 0 ? DriverStoreVerdict{nullptr, true}
                                 : DriverStoreVerdict{u"INSUFFICIENT_BUFFER", false};
        case kErrorDriverStoreInsufficientBuffer:
            return {u"INSUFFICIENT_BUFFER", true};
        case win::kErrorDriverPackageNotInStore:
            return {u"DRIVER_PACKAGE_NOT_IN_STORE", false};
        case win::kErrorFileNotFound:
            return {u"FILE_NOT_FOUND", false};
        case win::kErrorOutOfMemory:
            return {u"OUTOFMEMORY", false};
        case win::kErrorInvalidParameter:
            return {u"INVALID_PARAMETER", false};
        case win::kErrorInvalidName:
            return {u"INVALID_NAME", false};
        case win::kErrorFilenameExcedRange:
            return {u"FILENAME_EXCED_RANGE", false};
        case win::kErrorUnsupportedType:
            return {u"UNSUPPORTED_TYPE", false};
        case win::kErrorCantAccessFile:
            return {u"CANT_ACCESS_FILE", false};
        case win::kErrorInWow64:
            return {u"IN_WOW64", false};
        default:
            return {u"UNKNOWN ERROR", false};
    }
}

std::optional<std::u16string> FindPackageInf(FileSystem& files, const std::u16string& directory) {
    FindListing listing(files, BoundedPath({directory, u"\\*"}));
    if (!listing.Opened())
        return std::nullopt;
    do {
        const FindEntry& entry = listing.Entry();
        // "." stays in: the executable's own folder is searched where it is listed.
        if (!IsDirectory(entry) || entry.name == u"..")
            continue;
        if (auto inf = FirstInfIn(files, directory, entry.name))
            return inf;
    } while (listing.Next());
    return std::nullopt;
}

bool IsPortDriverAvailable(DriverPackagePlatform& platform) {
    const std::optional<std::u16string> directory = GetModuleDirectory(platform.files);
    if (!directory)
        return false;
    std::optional<std::u16string> inf = FindPackageInf(platform.files, *directory);
    if (!inf || !platform.files.FileExists(*inf))
        inf = BoundedPath({*directory, u"\\", kFallbackInfName});
    if (platform.files.FileExists(*inf))
        return AskDriverStore(platform, *inf);
    return UmdfDriverFileExists(platform.files);
}

bool IsPackageInDriverStore(DriverPackagePlatform& platform, const std::u16string& infPath) {
    return AskDriverStore(platform, infPath);
}

}  // namespace tav::setup

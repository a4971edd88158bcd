#pragma once
// Whether the virtual serial port driver package is installed: the package's INF beside
// the executable (directly, or one folder below) is looked up in the driver store; with no
// INF there, the driver's user-mode file in the system's driver folder decides. Where
// difxapi.dll is absent (current Windows ships none), the store is asked through SetupAPI.

#include <cstdint>
#include <optional>
#include <string>

#include "printer/settings/driver_store.h"
#include "printer/settings/file_system.h"

namespace tav::setup {

inline constexpr char16_t kPackageInfPattern[] = u"Tav*.inf";
inline constexpr char16_t kFallbackInfName[] = u"Tavport.inf";
inline constexpr char16_t kUmdfDriverFile[] = u"\\drivers\\UMDF\\Tavport.dll";
// The published INFs of staged packages, below the Windows folder.
inline constexpr char16_t kPublishedInfPattern[] = u"\\INF\\oem*.inf";

struct DriverPackagePlatform {
    FileSystem& files;
    DriverStore& store;
    DebugOutput& debug;
};

// What one answer of the driver store query means: the debug text (or none) and the answer.
struct DriverStoreVerdict {
    const char16_t* debugText;
    bool installed;
};
[[nodiscard]] DriverStoreVerdict JudgeDriverStoreResult(uint32_t result, uint32_t numChars);

// The first "Tav*.inf" file in `directory` itself (through its "." entry) or in a folder
// directly below it, in listing order; none when there is none.
[[nodiscard]] std::optional<std::u16string> FindPackageInf(FileSystem& files,
                                                           const std::u16string& directory);

[[nodiscard]] bool IsPortDriverAvailable(DriverPackagePlatform& platform);

// Whether the driver store holds the package of this INF (the same query and verdicts as
// the lookup above), for a caller that knows where the INF is.
[[nodiscard]] bool IsPackageInDriverStore(DriverPackagePlatform& platform,
                                          const std::u16string& infPath);

}  // namespace tav::setup

#pragma once
// The folder of the running executable.

#include <cstdint>
#include <optional>
#include <string>

#include "printer/settings/file_system.h"

namespace tav::setup {

inline constexpr uint32_t kModulePathFirstUnits = 1024;

// The executable's folder without a trailing backslash, or none when the path cannot be
// read, memory runs out, or the path has no backslash.
std::optional<std::u16string> GetModuleDirectory(FileSystem& files);

// Whether a buffer of `units` UTF-16 units has a byte count that fits 32 bits.
bool UnitBufferFits(uint64_t units);

}  // namespace tav::setup

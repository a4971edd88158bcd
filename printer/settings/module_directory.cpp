#include "printer/settings/module_directory.h"

#include <stdexcept>
#include <vector>

namespace tav::setup {

bool UnitBufferFits(uint64_t units) {
    return units * sizeof(char16_t) <= 0xFFFFFFFFull;
}

std::optional<std::u16string> GetModuleDirectory(FileSystem& files) {
    uint64_t units = kModulePathFirstUnits;
    for (;;) {
        if (!UnitBufferFits(units))
            return std::nullopt;
        std::vector<char16_t> buffer;
        try {
            buffer.resize(static_cast<size_t>(units));
        } catch (const std::exception&) {  // no memory, or more than one allocation can hold
            return std::nullopt;
        }
        const uint32_t size = static_cast<uint32_t>(units);
        const uint32_t length = files.ModuleFileName(buffer.data(), size);
        if (length == 0)
            return std::nullopt;
        if (length >= size) {  // cut: try again with twice the room
            units *= 2;
            continue;
        }
        std::u16string path(buffer.data(), length);
        const size_t cut = path.rfind(u'\\');
        if (cut == std::u16string::npos)
            return std::nullopt;
        path.resize(cut);
        return path;
    }
}

}  // namespace tav::setup

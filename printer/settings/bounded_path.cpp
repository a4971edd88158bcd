#include "printer/settings/bounded_path.h"

namespace tav::setup {

std::u16string BoundedPath(std::initializer_list<std::u16string_view> parts) {
    std::u16string path;
    for (std::u16string_view part : parts)
        path.append(part);
    if (path.size() > kPathBufferUnits - 1)
        path.resize(kPathBufferUnits - 1);
    return path;
}

}  // namespace tav::setup

#include "portlink/core/inf_path.h"

#include "shared/u16.h"

namespace tav::portsvc {

namespace {

size_t BoundedLength(const char16_t* text, size_t bound) {
    size_t n = 0;
    while (n < bound && text[n] != 0)
        ++n;
    return n;
}

}  // namespace

void BuildInfPath(PassContext& ctx, char16_t* path) {
    char16_t folder[win::kMaxPath + 1] = {};
    if (!ctx.platform.shell->GetProgramFilesX86(folder)) {
        ctx.trace.Emit<service_event::kProgramFilesNotFound>();
        folder[0] = 0;
    }
    size_t folderLength = BoundedLength(folder, win::kMaxPath);
    size_t relativeLength = U16Length(kInfRelativePath);
    path[0] = 0;
    if (folderLength + relativeLength >= win::kMaxPath)
        return;
    size_t n = 0;
    for (size_t i = 0; i < folderLength; ++i)
        path[n++] = folder[i];
    for (size_t i = 0; i < relativeLength; ++i)
        path[n++] = kInfRelativePath[i];
    path[n] = 0;
}

}  // namespace tav::portsvc

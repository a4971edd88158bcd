#include "tavportsvc/core/port_link_writer.h"

#include "shared/u16.h"
#include "shared/win32_errors.h"
#include "tavportsvc/core/port_link_value.h"

namespace tav {

uint32_t WritePortLink(PassContext& ctx, PlatformHandle portKey, const char16_t* printerPath) {
    RegistryApi& registry = *ctx.platform.registry;
    PlatformHandle linkKey = kNoHandle;
    uint32_t status = registry.CreateKey(portKey, kLinkSubKey, kRegOptionNonVolatile,
                                         kLinkKeyAccess, &linkKey, nullptr);
    if (status != kErrorSuccess) {
        ctx.trace.Emit<service_event::kCreateLinkKeyFailed>(status);
        return status;
    }
    auto bytes = static_cast<uint32_t>((U16Length(printerPath) + 1) * 2);
    status = registry.SetValue(linkKey, kLinkValueName, kRegSz, printerPath, bytes);
    if (status != kErrorSuccess)
        ctx.trace.Emit<service_event::kSetLinkValueFailed>(status);
    registry.CloseKey(linkKey);
    return status;
}

}  // namespace tav

#include "portlink/core/port_link_writer.h"

#include "portlink/core/owned_handles.h"
#include "portlink/core/port_link_value.h"
#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav::portsvc {

uint32_t WritePortLink(PassContext& ctx, PlatformHandle portKey, const char16_t* printerPath) {
    RegistryApi& registry = *ctx.platform.registry;
    PlatformHandle created = win::kNoHandle;
    uint32_t status = registry.CreateKey(portKey, kLinkSubKey, win::kRegOptionNonVolatile,
                                         kLinkKeyAccess, created, nullptr);
    if (status != win::kErrorSuccess) {
        ctx.trace.Emit<service_event::kCreateLinkKeyFailed>(status);
        return status;
    }
    OwnedRegistryKey linkKey(registry, created);
    auto bytes = static_cast<uint32_t>((U16Length(printerPath) + 1) * 2);
    status = registry.SetValue(linkKey.get(), kLinkValueName, win::kRegSz, printerPath, bytes);
    if (status != win::kErrorSuccess)
        ctx.trace.Emit<service_event::kSetLinkValueFailed>(status);
    return status;
}

}  // namespace tav::portsvc

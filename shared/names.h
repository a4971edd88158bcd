#pragma once
// Names both programs must agree on.

#include "shared/guid.h"

namespace tav {

// Held by tavsetup for its whole run; the service's passes step aside while it is held.
// The same text names the window property by which a second instance finds the first.
inline constexpr char16_t kSetupMutexName[] = u"Global\\____TAV_IO_SETUP_SOFTWARE____";
// Security descriptor of the mutex: full access for LocalSystem, Everyone and Anonymous,
// label Untrusted with no-write-up and no-read-up, so the LocalSystem service can open it.
inline constexpr char16_t kSetupMutexSddl[] =
    u"D:(A;;GA;;;SY)(A;;GA;;;WD)(A;;GA;;;AN)S:AI(ML;;NWNR;;;S-1-16-0)";

// The service entry, the registry subkey of a port's link, the service tavsetup restarts.
inline constexpr char16_t kServiceName[] = u"Tavportsvc";

// Interface class a printer presents in virtual-serial mode.
inline constexpr Guid kPrinterInterfaceClass = {
    0xA4C7E912, 0x3F58, 0x4B06, {0x9D, 0x2E, 0x61, 0xB0, 0xF7, 0xC3, 0xD8, 0x45}};

// Public Windows interface classes.
inline constexpr Guid kGuidDevinterfaceUsbprint = {
    0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}};
inline constexpr Guid kGuidDevinterfaceComport = {
    0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};

}  // namespace tav

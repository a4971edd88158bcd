#include "sim/host/sim_host_world.h"

namespace tav::sim {

portsvc::host::TypeLibAttributes SimHostWorld::ServiceTypeLib() {
    // {D3A85F1C-6E24-4B97-8C0B-5F91E2A7364D} in GUID memory order, version 1.0, win64.
    portsvc::host::TypeLibAttributes attributes;
    const uint8_t libid[16] = {0x1C, 0x5F, 0xA8, 0xD3, 0x24, 0x6E, 0x97, 0x4B,
                               0x8C, 0x0B, 0x5F, 0x91, 0xE2, 0xA7, 0x36, 0x4D};
    for (int i = 0; i < 16; ++i)
        attributes.libid[i] = libid[i];
    attributes.syskind = 3;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    return attributes;
}

void SimHostWorld::SetCaller(SimCaller caller) {
    registry.SetCaller(caller);
    scm.SetCaller(caller);
    typeLibs.SetCaller(caller);
}

SimHostWorld::SimHostWorld(const std::vector<uint8_t>& registryScript) {
    image.SetPath(kSimServiceExePath);
    image.SetString(100, u"Tavportsvc");
    image.SetResource(u"REGISTRY", 101, registryScript);
    typeLibs.AddFile(kSimServiceExePath, ServiceTypeLib());
    registry.AddKey(win::kHkeyClassesRoot, u"AppID");
}

}  // namespace tav::sim

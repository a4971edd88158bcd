#include "tavportsvc/host/tavportsvc_module.h"

namespace tav::portsvc::host {

ServiceIdentity TavportsvcIdentity() {
    return {u"TAV Virtual Serial Port Service", u"Service program for TAV Virtual Serial Port.",
            kAppIdText};
}

CTavportsvcModule::CTavportsvcModule(HostPlatform& host, const PortLinkPlatform& core)
    : CAtlServiceModuleT(host, kServiceNameStringId, TavportsvcIdentity()), m_core(core) {}

void CTavportsvcModule::ReconcilePorts() {
    m_core.ReconcilePorts();
}

win::HResult CTavportsvcModule::StartHook() {
    return m_core.StartHook([this] { return BaseStartSteps(); }, ServiceStatusHandle(),
                            [this] { ReconcilePorts(); });
}

win::HResult CTavportsvcModule::StopHook() {
    return m_core.StopHook([this] { return BaseStopSteps(); });
}

void CTavportsvcModule::OnDeviceEvent() {
    // The device-event case answers NO_ERROR whatever the pass did.
    static_cast<void>(m_core.OnDeviceEvent([this] { ReconcilePorts(); }));
}

}  // namespace tav::portsvc::host

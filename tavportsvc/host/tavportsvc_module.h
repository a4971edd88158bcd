#pragma once
// The one module object of Tavportsvc: the service-module base plus the port link core,
// whose start hook, device-event case and stop hook it runs at the host's hand-over points.

#include "portlink/core/port_link_core.h"
#include "tavportsvc/host/atl_service_module.h"

namespace tav::portsvc::host {

inline constexpr uint32_t kServiceNameStringId = 100;
inline constexpr char16_t kAppIdText[] = u"{5E0A3C41-7B2D-4F19-A6C8-93D1E2F4B705}";

ServiceIdentity TavportsvcIdentity();

class CTavportsvcModule : public CAtlServiceModuleT {
  public:
    CTavportsvcModule(HostPlatform& host, const PortLinkPlatform& core);

    // One reconcile pass; the start hook and every device event run it through here.
    virtual void ReconcilePorts();

    PortLinkCore& Core() { return m_core; }

  protected:
    [[nodiscard]] win::HResult StartHook() override;
    [[nodiscard]] win::HResult StopHook() override;
    void OnDeviceEvent() override;

  private:
    PortLinkCore m_core;
};

}  // namespace tav::portsvc::host

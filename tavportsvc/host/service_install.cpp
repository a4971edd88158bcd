// The Windows service entry: created by "-Service", deleted before every registration.
#include "tavportsvc/host/atl_service_module.h"
#include "tavportsvc/host/host_handles.h"

namespace tav::portsvc::host {

bool CAtlServiceModuleT::IsInstalled() {
    ServiceControlManager& scm = m_platform.scm;
    uint32_t error = 0;
    OwnedScHandle manager(scm, scm.OpenManager(win::kScManagerAllAccess, error));
    if (!manager.get())
        return false;
    OwnedScHandle service(
        scm, scm.OpenServiceEntry(manager.get(), m_szServiceName, win::kServiceQueryConfig, error));
    return service.get() != 0;
}

bool CAtlServiceModuleT::InstallService() {
    if (IsInstalled())
        return true;
    std::u16string path;
    uint32_t error = 0;
    uint32_t length = m_platform.image.FileName(kModulePathCapacity, path, error);
    if (length == 0 || length >= kModulePathCapacity)
        return false;

    ServiceConfig config;
    config.name = m_szServiceName;
    config.displayName = m_identity.displayName;
    config.desiredAccess = win::kServiceAllAccess;
    config.serviceType = win::kServiceWin32OwnProcess;
    config.startType = win::kServiceAutoStart;
    config.errorControl = win::kServiceErrorNormal;
    config.imagePath = u"\"" + path + u"\"";
    config.dependencies = {u"RPCSS"};

    ServiceControlManager& scm = m_platform.scm;
    OwnedScHandle manager(scm, scm.OpenManager(win::kScManagerAllAccess, error));
    if (!manager.get())
        return false;
    OwnedScHandle service(scm, scm.CreateServiceEntry(manager.get(), config, error));
    if (!service.get())
        return false;
    // The description is decoration: the entry works without it.
    static_cast<void>(scm.SetDescription(service.get(), m_identity.description));
    return true;
}

bool CAtlServiceModuleT::UninstallService() {
    if (!IsInstalled())
        return true;
    ServiceControlManager& scm = m_platform.scm;
    uint32_t error = 0;
    OwnedScHandle manager(scm, scm.OpenManager(win::kScManagerAllAccess, error));
    if (!manager.get())
        return false;
    // Query access as well, to wait for a running instance before deleting its entry.
    OwnedScHandle service(
        scm,
        scm.OpenServiceEntry(manager.get(), m_szServiceName,
                             win::kServiceStop | win::kDelete | win::kServiceQueryStatus, error));
    if (!service.get())
        return false;
    // A service that is not running refuses the stop (1062); that is fine.
    static_cast<void>(scm.ControlStop(service.get()));
    const bool stopped = WaitForServiceStopped(service.get());
    // A service still running is only marked for deletion; its entry stays until its
    // process ends, so that is not reported as removed.
    return scm.DeleteService(service.get()) == win::kErrorSuccess && stopped;
}

// A running service whose entry is deleted is only marked for deletion, and a new entry of
// the same name is refused until its process ends; so the old instance is given a bounded
// time to stop first.
bool CAtlServiceModuleT::WaitForServiceStopped(ScHandle service) {
    Clock& clock = m_platform.clock;
    const uint32_t start = clock.TickCount();
    for (;;) {
        uint32_t state = 0;
        if (m_platform.scm.QueryState(service, state) != win::kErrorSuccess)
            return true;  // nothing to wait for that can be seen; the deletion decides
        if (state == win::kServiceStopped)
            return true;
        if (ElapsedMs(start, clock.TickCount()) >= kUninstallStopWaitMs)
            return false;
        clock.Sleep(kUninstallPollMs);
    }
}

}  // namespace tav::portsvc::host

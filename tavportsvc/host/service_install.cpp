// The Windows service entry: created by "-Service", deleted before every registration.
#include "tavportsvc/host/atl_service_module.h"

namespace tav::host {
namespace {

class ScopedScHandle {
  public:
    ScopedScHandle(ServiceControlManager& scm, ScHandle handle) : m_scm(scm), m_handle(handle) {}
    ~ScopedScHandle() {
        if (m_handle)
            m_scm.Close(m_handle);
    }
    ScopedScHandle(const ScopedScHandle&) = delete;
    ScopedScHandle& operator=(const ScopedScHandle&) = delete;
    ScHandle Get() const { return m_handle; }

  private:
    ServiceControlManager& m_scm;
    ScHandle m_handle;
};

}  // namespace

bool CAtlServiceModuleT::IsInstalled() {
    ServiceControlManager& scm = m_platform.scm;
    uint32_t error = 0;
    ScopedScHandle manager(scm, scm.OpenManager(win::kScManagerAllAccess, error));
    if (!manager.Get())
        return false;
    ScopedScHandle service(
        scm, scm.OpenServiceEntry(manager.Get(), m_szServiceName, win::kServiceQueryConfig, error));
    return service.Get() != 0;
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
    ScopedScHandle manager(scm, scm.OpenManager(win::kScManagerAllAccess, error));
    if (!manager.Get())
        return false;
    ScopedScHandle service(scm, scm.CreateServiceEntry(manager.Get(), config, error));
    if (!service.Get())
        return false;
    scm.SetDescription(service.Get(), m_identity.description);
    return true;
}

bool CAtlServiceModuleT::UninstallService() {
    if (!IsInstalled())
        return true;
    ServiceControlManager& scm = m_platform.scm;
    uint32_t error = 0;
    ScopedScHandle manager(scm, scm.OpenManager(win::kScManagerAllAccess, error));
    if (!manager.Get())
        return false;
    // Query access as well, to wait for a running instance before deleting its entry.
    ScopedScHandle service(
        scm,
        scm.OpenServiceEntry(manager.Get(), m_szServiceName,
                             win::kServiceStop | win::kDelete | win::kServiceQueryStatus, error));
    if (!service.Get())
        return false;
    // A service that is not running refuses the stop (1062); that is fine.
    scm.ControlStop(service.Get());
    const bool stopped = WaitForServiceStopped(service.Get());
    // A service still running is only marked for deletion; its entry stays until its
    // process ends, so that is not reported as removed.
    return scm.DeleteService(service.Get()) == win::kErrorSuccess && stopped;
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

}  // namespace tav::host

#include "portlink/core/win32/win32_port_adapters.h"

namespace tav::portsvc {

PortLinkPlatform Win32PortLinkPlatform::Platform() {
    PortLinkPlatform p;
    p.setupDi = &m_setupDi;
    p.registry = &m_registry;
    p.sync = &m_sync;
    p.shell = &m_shell;
    p.installer = &m_installer;
    p.notify = &m_notify;
    p.trace = &m_trace;
    p.eventLog = &m_eventLog;
    return p;
}

}  // namespace tav::portsvc

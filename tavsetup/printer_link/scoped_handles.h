#pragma once
// Owners of the platform handles the printer link opens, so no path can leak one.

#include "tavsetup/printer_link/device_io.h"
#include "tavsetup/printer_link/device_setup.h"
#include "tavsetup/printer_link/service_manager.h"

namespace tav {

class ScopedEvent {
  public:
    ScopedEvent(DeviceIo& io, Handle event) : m_io(io), m_event(event) {}
    ~ScopedEvent() {
        if (m_event != win::kNoHandle)
            m_io.CloseHandle(m_event);
    }
    ScopedEvent(const ScopedEvent&) = delete;
    ScopedEvent& operator=(const ScopedEvent&) = delete;
    Handle get() const { return m_event; }

  private:
    DeviceIo& m_io;
    Handle m_event;
};

class ScopedServiceHandle {
  public:
    ScopedServiceHandle(ServiceManager& services, Handle handle)
        : m_services(services), m_handle(handle) {}
    ~ScopedServiceHandle() {
        if (m_handle != win::kNoHandle)
            m_services.CloseServiceHandle(m_handle);
    }
    ScopedServiceHandle(const ScopedServiceHandle&) = delete;
    ScopedServiceHandle& operator=(const ScopedServiceHandle&) = delete;
    Handle get() const { return m_handle; }

  private:
    ServiceManager& m_services;
    Handle m_handle;
};

class ScopedDeviceInfoSet {
  public:
    ScopedDeviceInfoSet(DeviceSetup& setup, Handle set) : m_setup(setup), m_set(set) {}
    ~ScopedDeviceInfoSet() {
        if (m_set != win::kNoHandle)
            m_setup.DestroyDeviceInfoList(m_set);
    }
    ScopedDeviceInfoSet(const ScopedDeviceInfoSet&) = delete;
    ScopedDeviceInfoSet& operator=(const ScopedDeviceInfoSet&) = delete;
    Handle get() const { return m_set; }

  private:
    DeviceSetup& m_setup;
    Handle m_set;
};

}  // namespace tav

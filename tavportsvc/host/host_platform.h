#pragma once
// The Windows services the service host and its registration use, as small interfaces.
// Results keep Windows' numbers: Win32 error codes, HRESULTs, handle values.

#include <cstdint>
#include <string>
#include <vector>

#include "portlink/core/registry_api.h"
#include "shared/clock.h"
#include "shared/win/errors.h"
#include "shared/win/registry.h"
#include "shared/win/services.h"

namespace tav::portsvc::host {

// Service control manager handles are opaque values; 0 is none.
using ScHandle = uintptr_t;

struct ServiceConfig {
    std::u16string name;
    std::u16string displayName;
    uint32_t desiredAccess = 0;
    uint32_t serviceType = 0;
    uint32_t startType = 0;
    uint32_t errorControl = 0;
    std::u16string imagePath;
    std::vector<std::u16string> dependencies;
};

// OpenSCManagerW, OpenServiceW, CreateServiceW, ChangeServiceConfig2W, ControlService,
// QueryServiceStatus, DeleteService, CloseServiceHandle. A zero handle comes with an error.
class ServiceControlManager {
  public:
    virtual ~ServiceControlManager() = default;
    [[nodiscard]] virtual ScHandle OpenManager(uint32_t access, uint32_t& error) = 0;
    [[nodiscard]] virtual ScHandle OpenServiceEntry(ScHandle manager, const std::u16string& name,
                                                    uint32_t access, uint32_t& error) = 0;
    [[nodiscard]] virtual ScHandle CreateServiceEntry(ScHandle manager, const ServiceConfig& config,
                                                      uint32_t& error) = 0;
    [[nodiscard]] virtual bool SetDescription(ScHandle service,
                                              const std::u16string& description) = 0;
    // ControlService(SERVICE_CONTROL_STOP): 0 or the Win32 error.
    [[nodiscard]] virtual uint32_t ControlStop(ScHandle service) = 0;
    // QueryServiceStatus: 0 and the current state, or the Win32 error.
    [[nodiscard]] virtual uint32_t QueryState(ScHandle service, uint32_t& state) = 0;
    [[nodiscard]] virtual uint32_t DeleteService(ScHandle service) = 0;
    virtual void Close(ScHandle handle) = 0;
};

using StatusHandle = uintptr_t;

// The service side of the control manager: the dispatcher, the handler, the status.
class ServiceDispatcher {
  public:
    // Both are called from the system's frames, which cannot carry an exception.
    using ServiceMainFn = void (*)(void* context) noexcept;
    using HandlerFn = uint32_t (*)(uint32_t control, uint32_t eventType, void* eventData,
                                   void* context) noexcept;
    virtual ~ServiceDispatcher() = default;
    // StartServiceCtrlDispatcherW with one entry; blocks until the service stopped.
    // 0 or the Win32 error. `serviceMain` runs on a new thread with `context`.
    [[nodiscard]] virtual uint32_t RunDispatcher(const std::u16string& name,
                                                 ServiceMainFn serviceMain, void* context) = 0;
    // RegisterServiceCtrlHandlerExW: 0 on failure.
    [[nodiscard]] virtual StatusHandle RegisterHandler(const std::u16string& name,
                                                       HandlerFn handler, void* context) = 0;
    [[nodiscard]] virtual bool SetStatus(StatusHandle handle, const win::ServiceStatus& status) = 0;
    virtual uint32_t CurrentThreadId() = 0;
};

// CoInitialize, CoUninitialize, CoResumeClassObjects and the loaded-module test.
class ComRuntime {
  public:
    virtual ~ComRuntime() = default;
    [[nodiscard]] virtual win::HResult Initialize() = 0;
    virtual void Uninitialize() = 0;
    [[nodiscard]] virtual win::HResult ResumeClassObjects() = 0;
    virtual bool IsModuleLoaded(const std::u16string& name) = 0;
};

// GetMessageW / TranslateMessage / DispatchMessageW on the calling thread's queue, and
// PostThreadMessageW(WM_QUIT).
class ThreadMessages {
  public:
    virtual ~ThreadMessages() = default;
    // >0 a message was taken, 0 WM_QUIT, -1 failure.
    [[nodiscard]] virtual int NextMessage() = 0;
    virtual void TranslateAndDispatch() = 0;
    [[nodiscard]] virtual bool PostQuit(uint32_t threadId) = 0;
};

using TypeLib = uintptr_t;

struct TypeLibAttributes {
    uint8_t libid[16] = {};
    uint32_t lcid = 0;
    uint32_t syskind = 0;
    uint16_t majorVersion = 0;
    uint16_t minorVersion = 0;
};

// LoadTypeLib, ITypeLib::GetDocumentation/GetLibAttr/Release, RegisterTypeLib,
// UnRegisterTypeLib, and the per-user forms looked up in OLEAUT32.DLL at run time.
class TypeLibraries {
  public:
    virtual ~TypeLibraries() = default;
    [[nodiscard]] virtual win::HResult Load(const std::u16string& path, TypeLib& lib) = 0;
    [[nodiscard]] virtual win::HResult HelpFile(TypeLib lib, std::u16string& helpFile) = 0;
    [[nodiscard]] virtual win::HResult Attributes(TypeLib lib, TypeLibAttributes& attributes) = 0;
    virtual void Release(TypeLib lib) = 0;
    virtual bool HasOleAutExport(const char* name) = 0;
    // `helpDir` null: the library names no help file.
    [[nodiscard]] virtual win::HResult Register(TypeLib lib, const std::u16string& path,
                                                const std::u16string* helpDir, bool forUser) = 0;
    [[nodiscard]] virtual win::HResult Unregister(const TypeLibAttributes& attributes,
                                                  bool forUser) = 0;
};

// What the running executable knows about itself.
class ModuleImage {
  public:
    virtual ~ModuleImage() = default;
    // GetModuleFileNameW into a buffer of `capacity` units: the length copied (capacity
    // when cut), 0 on failure with the error in `error`.
    virtual uint32_t FileName(uint32_t capacity, std::u16string& path, uint32_t& error) = 0;
    virtual std::u16string LoadStringResource(uint32_t id) = 0;
    // The raw bytes of a resource of a named type; false when absent.
    virtual bool LoadResource(const std::u16string& type, uint32_t id,
                              std::vector<uint8_t>& bytes) = 0;
    virtual char16_t UpperCase(char16_t c) = 0;
};

struct HostPlatform {
    RegistryApi& registry;
    ServiceControlManager& scm;
    ServiceDispatcher& dispatcher;
    ComRuntime& com;
    ThreadMessages& messages;
    TypeLibraries& typeLibs;
    ModuleImage& image;
    Clock& clock;
};

}  // namespace tav::portsvc::host

#pragma once
// Thin Win32 adapters of the service host's interfaces: one Windows call per method.

#include "tavportsvc/host/host_platform.h"

namespace tav::portsvc::host {

class Win32ServiceControlManager : public ServiceControlManager {
  public:
    ScHandle OpenManager(uint32_t access, uint32_t& error) override;
    ScHandle OpenServiceEntry(ScHandle manager, const std::u16string& name, uint32_t access,
                              uint32_t& error) override;
    ScHandle CreateServiceEntry(ScHandle manager, const ServiceConfig& config,
                                uint32_t& error) override;
    bool SetDescription(ScHandle service, const std::u16string& description) override;
    uint32_t ControlStop(ScHandle service) override;
    uint32_t QueryState(ScHandle service, uint32_t& state) override;
    uint32_t DeleteService(ScHandle service) override;
    void Close(ScHandle handle) override;
};

class Win32ServiceDispatcher : public ServiceDispatcher {
  public:
    uint32_t RunDispatcher(const std::u16string& name, ServiceMainFn serviceMain,
                           void* context) override;
    StatusHandle RegisterHandler(const std::u16string& name, HandlerFn handler,
                                 void* context) override;
    bool SetStatus(StatusHandle handle, const win::ServiceStatus& status) override;
    uint32_t CurrentThreadId() override;
};

class Win32ComRuntime : public ComRuntime {
  public:
    win::HResult Initialize() override;
    void Uninitialize() override;
    win::HResult ResumeClassObjects() override;
    bool IsModuleLoaded(const std::u16string& name) override;
};

class Win32ThreadMessages : public ThreadMessages {
  public:
    int NextMessage() override;
    void TranslateAndDispatch() override;
    bool PostQuit(uint32_t threadId) override;

  private:
    // MSG, kept opaque here so this header needs no <windows.h>.
    alignas(8) unsigned char m_msg[64] = {};
};

class Win32TypeLibraries : public TypeLibraries {
  public:
    win::HResult Load(const std::u16string& path, TypeLib& lib) override;
    win::HResult HelpFile(TypeLib lib, std::u16string& helpFile) override;
    win::HResult Attributes(TypeLib lib, TypeLibAttributes& attributes) override;
    void Release(TypeLib lib) override;
    bool HasOleAutExport(const char* name) override;
    win::HResult Register(TypeLib lib, const std::u16string& path, const std::u16string* helpDir,
                          bool forUser) override;
    win::HResult Unregister(const TypeLibAttributes& attributes, bool forUser) override;
};

class Win32ModuleImage : public ModuleImage {
  public:
    uint32_t FileName(uint32_t capacity, std::u16string& path, uint32_t& error) override;
    std::u16string LoadStringResource(uint32_t id) override;
    bool LoadResource(const std::u16string& type, uint32_t id,
                      std::vector<uint8_t>& bytes) override;
    char16_t UpperCase(char16_t c) override;
};

}  // namespace tav::portsvc::host

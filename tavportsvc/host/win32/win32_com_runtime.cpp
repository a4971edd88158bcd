#include <windows.h>
// After <windows.h>, which WIN32_LEAN_AND_MEAN keeps from including OLE.
#include <objbase.h>

#include "shared/win32/wide.h"
#include "tavportsvc/host/win32/win32_host_adapters.h"

namespace tav::portsvc::host {

win::HResult Win32ComRuntime::Initialize() {
    return ::CoInitialize(nullptr);
}

void Win32ComRuntime::Uninitialize() {
    ::CoUninitialize();
}

win::HResult Win32ComRuntime::ResumeClassObjects() {
    return ::CoResumeClassObjects();
}

bool Win32ComRuntime::IsModuleLoaded(const std::u16string& name) {
    return ::GetModuleHandleW(AsWide(name)) != nullptr;
}

}  // namespace tav::portsvc::host

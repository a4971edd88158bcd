#include "tavsetup/shell/win32/startup_adapters.h"

#include <commctrl.h>
#include <sddl.h>

#include "shared/win32/wide.h"
#include "tavsetup/shell/framework/wnd.h"

namespace tav::setup {

namespace {
HWND ToHwnd(WindowRef window) {
    return reinterpret_cast<HWND>(window);
}
WindowRef ToRef(HWND window) {
    return reinterpret_cast<WindowRef>(window);
}
}  // namespace

void Win32StartupKernel::InitCommonControls(uint32_t size, uint32_t classes) {
    INITCOMMONCONTROLSEX init{size, classes};
    ::InitCommonControlsEx(&init);
}

Handle Win32StartupKernel::ConvertSddl(const char16_t* sddl, uint32_t revision) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(AsWide(sddl), revision, &descriptor,
                                                                nullptr))
        return win::kNoHandle;
    return reinterpret_cast<Handle>(descriptor);
}

void Win32StartupKernel::FreeSecurityDescriptor(Handle descriptor) {
    ::LocalFree(reinterpret_cast<HLOCAL>(descriptor));
}

Handle Win32StartupKernel::CreateNamedMutex(Handle descriptor, bool initialOwner,
                                            const char16_t* name) {
    SECURITY_ATTRIBUTES attributes{sizeof attributes, reinterpret_cast<void*>(descriptor), FALSE};
    return reinterpret_cast<Handle>(
        ::CreateMutexW(&attributes, initialOwner ? TRUE : FALSE, AsWide(name)));
}

uint32_t Win32StartupKernel::LastError() {
    return ::GetLastError();
}

bool Win32StartupKernel::ReleaseMutex(Handle mutex) {
    return ::ReleaseMutex(reinterpret_cast<HANDLE>(mutex)) != FALSE;
}

bool Win32StartupKernel::CloseHandle(Handle handle) {
    return ::CloseHandle(reinterpret_cast<HANDLE>(handle)) != FALSE;
}

bool Win32StartupKernel::LookupIsWow64Process() {
    // Absent on old systems, so it is looked up by name rather than imported.
    m_isWow64Process = reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32"), "IsWow64Process")));
    return m_isWow64Process != nullptr;
}

bool Win32StartupKernel::IsWow64Process(int32_t* isWow64) {
    BOOL result = FALSE;
    const BOOL ok = m_isWow64Process(::GetCurrentProcess(), &result);
#if defined(_WIN64) && !defined(TAV_UTILITY_X64_TEST_BUILD)
    // A 64-bit process runs only on 64-bit Windows, which the utility refuses as it refuses
    // WOW64; only its test build (never shipped) goes on there.
    result = TRUE;
#endif
    *isWow64 = result;
    return ok != FALSE;
}

std::u16string Win32StartupWindows::LoadText(uint32_t id) {
    return FromWide(LoadResourceString(id).c_str());
}

WindowRef Win32StartupWindows::DesktopWindow() {
    return ToRef(::GetDesktopWindow());
}

WindowRef Win32StartupWindows::FirstChild(WindowRef window) {
    return ToRef(::GetWindow(ToHwnd(window), GW_CHILD));
}

WindowRef Win32StartupWindows::NextWindow(WindowRef window) {
    return ToRef(::GetWindow(ToHwnd(window), GW_HWNDNEXT));
}

bool Win32StartupWindows::HasProperty(WindowRef window, const char16_t* name) {
    return ::GetPropW(ToHwnd(window), AsWide(name)) != nullptr;
}

bool Win32StartupWindows::IsIconic(WindowRef window) {
    return ::IsIconic(ToHwnd(window)) != FALSE;
}

void Win32StartupWindows::Restore(WindowRef window) {
    ::ShowWindow(ToHwnd(window), SW_RESTORE);
}

WindowRef Win32StartupWindows::LastActivePopup(WindowRef window) {
    return ToRef(::GetLastActivePopup(ToHwnd(window)));
}

void Win32StartupWindows::SetForeground(WindowRef window) {
    ::SetForegroundWindow(ToHwnd(window));
}

WindowRef Win32StartupWindows::ForegroundWindow() {
    return ToRef(::GetForegroundWindow());
}

int Win32StartupWindows::ShowMessageBox(WindowRef owner, const std::u16string& text,
                                        const std::u16string& caption, uint32_t style) {
    return ::MessageBoxW(ToHwnd(owner), AsWide(text), AsWide(caption), style);
}

}  // namespace tav::setup

#include <windows.h>
// (windows.h first)
#include <sddl.h>

#include <atomic>
#include <cstdio>

#include "portlink/win32/win32_tool_host.h"
#include "shared/u16.h"
#include "tavprinter/win32/win32_tool_kernel.h"

namespace tav::tavprinter {

namespace {

std::atomic<bool> g_cancelRequested{false};

BOOL WINAPI OnConsoleControl(DWORD) {
    g_cancelRequested = true;
    return TRUE;  // the run ends itself, after it has let go of the printer
}

const wchar_t* W(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

}  // namespace

Win32ToolKernel::Win32ToolKernel() {
    ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

Handle Win32ToolKernel::ConvertSddl(const char16_t* sddl, uint32_t revision) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(W(sddl), revision, &descriptor,
                                                                nullptr))
        return win::kNoHandle;
    return reinterpret_cast<Handle>(descriptor);
}

void Win32ToolKernel::FreeSecurityDescriptor(Handle descriptor) {
    ::LocalFree(reinterpret_cast<HLOCAL>(descriptor));
}

Handle Win32ToolKernel::CreateNamedMutex(Handle descriptor, bool initialOwner,
                                         const char16_t* name) {
    SECURITY_ATTRIBUTES attributes{sizeof attributes,
                                   reinterpret_cast<PSECURITY_DESCRIPTOR>(descriptor), FALSE};
    return reinterpret_cast<Handle>(
        ::CreateMutexW(&attributes, initialOwner ? TRUE : FALSE, W(name)));
}

uint32_t Win32ToolKernel::LastError() {
    return ::GetLastError();
}

bool Win32ToolKernel::ReleaseMutex(Handle mutex) {
    return ::ReleaseMutex(reinterpret_cast<HANDLE>(mutex)) != FALSE;
}

bool Win32ToolKernel::CloseHandle(Handle handle) {
    return ::CloseHandle(reinterpret_cast<HANDLE>(handle)) != FALSE;
}

bool Win32ToolKernel::IsAdministrator() {
    return portlink::Win32ToolHost().IsAdministrator();
}

std::string Win32ToolKernel::ErrorText(uint32_t error) {
    return portlink::Win32ToolHost().ErrorText(error);
}

bool Win32ToolKernel::CancelRequested() {
    return g_cancelRequested;
}

bool Win32ToolKernel::JapaneseInterface() {
    return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_JAPANESE;
}

std::string Win32ToolKernel::LocalTimeText() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    return text;
}

void Win32ToolOutput::Out(const std::string& utf8) {
    portlink::Win32Console().Out(utf8);
}

void Win32ToolOutput::Err(const std::string& utf8) {
    portlink::Win32Console().Err(utf8);
}

bool Win32ToolOutput::AppendLog(const std::string& path, const std::string& utf8) {
    const std::u16string wide = FromUtf8(path);
    HANDLE file = ::CreateFileW(W(wide.c_str()), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok =
        ::WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok != FALSE && written == utf8.size();
}

}  // namespace tav::tavprinter

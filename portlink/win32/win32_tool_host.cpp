#include "portlink/core/win32/win32_types.h"
// (windows.h first)
#include <cfgmgr32.h>
#include <sddl.h>

#include <cstdio>
#include <vector>

#include "portlink/win32/win32_tool_host.h"
#include "shared/u16.h"

namespace tav::portlink {
using namespace tav::portsvc;

namespace {

// MAX_DEVICE_ID_LEN (200) and its NUL.
constexpr DWORD kInstanceIdUnits = 201;

void Write(DWORD stdHandle, const std::string& utf8) {
    HANDLE out = ::GetStdHandle(stdHandle);
    DWORD mode = 0;
    DWORD written = 0;
    if (::GetConsoleMode(out, &mode)) {
        std::u16string text = FromUtf8(utf8);
        ::WriteConsoleW(out, W(text.c_str()), static_cast<DWORD>(text.size()), &written, nullptr);
    } else {
        ::WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    }
}

}  // namespace

bool Win32ToolHost::GetDeviceInstanceId(PlatformHandle set, const win::DevInfoData& devInfo,
                                        std::u16string* instanceId) {
    SP_DEVINFO_DATA in = ToWin32(devInfo);
    wchar_t id[kInstanceIdUnits] = {};
    if (!::SetupDiGetDeviceInstanceIdW(FromHandle<HDEVINFO>(set), &in, id, kInstanceIdUnits,
                                       nullptr))
        return false;
    *instanceId = reinterpret_cast<const char16_t*>(id);
    return true;
}

bool Win32ToolHost::IsAdministrator() {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                    DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators))
        return false;
    BOOL member = FALSE;
    if (!::CheckTokenMembership(nullptr, administrators, &member))
        member = FALSE;
    ::FreeSid(administrators);
    return member != FALSE;
}

std::string Win32ToolHost::ErrorText(uint32_t error) {
    wchar_t text[512] = {};
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, error, 0, text, 512, nullptr);
    while (length > 0 &&
           (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L' '))
        --length;
    if (length == 0)
        return "Unknown error " + std::to_string(error) + ".";
    return ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

PlatformHandle Win32ToolHost::CreateNamedMutex(const char16_t* sddl, const char16_t* name) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(W(sddl), SDDL_REVISION_1,
                                                                &descriptor, nullptr))
        return win::kNoHandle;
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    HANDLE mutex = ::CreateMutexW(&attributes, FALSE, W(name));
    DWORD error = ::GetLastError();  // ERROR_ALREADY_EXISTS survives LocalFree
    ::LocalFree(descriptor);
    ::SetLastError(error);
    return mutex ? ToHandle(mutex) : win::kNoHandle;
}

uint32_t Win32ToolHost::GetDevNodeStatus(PlatformHandle, const win::DevInfoData& devInfo,
                                         uint32_t* status, uint32_t* problem) {
    ULONG nodeStatus = 0;
    ULONG nodeProblem = 0;
    CONFIGRET result = ::CM_Get_DevNode_Status(&nodeStatus, &nodeProblem, devInfo.devInst, 0);
    *status = nodeStatus;
    *problem = nodeProblem;
    return result;
}

bool Win32ToolHost::ComputerName(std::u16string* name) {
    wchar_t text[256] = {};
    DWORD size = 256;
    if (!::GetComputerNameExW(ComputerNameDnsHostname, text, &size))
        return false;
    *name = reinterpret_cast<const char16_t*>(text);
    return true;
}

UtcTime Win32ToolHost::SystemTimeUtc() {
    SYSTEMTIME now = {};
    ::GetSystemTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

bool Win32ToolHost::QueryService(const char16_t* name, uint32_t* state,
                                 std::u16string* commandLine) {
    SC_HANDLE manager = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager)
        return false;
    SC_HANDLE service =
        ::OpenServiceW(manager, W(name), SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG);
    DWORD error = ::GetLastError();
    bool done = false;
    if (service) {
        SERVICE_STATUS status = {};
        DWORD needed = 0;
        done = ::QueryServiceStatus(service, &status) != FALSE;
        if (done && !::QueryServiceConfigW(service, nullptr, 0, &needed) &&
            ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
            std::vector<BYTE> buffer(needed);
            auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
            done = ::QueryServiceConfigW(service, config, needed, &needed) != FALSE;
            if (done && config->lpBinaryPathName)
                *commandLine = reinterpret_cast<const char16_t*>(config->lpBinaryPathName);
        }
        *state = status.dwCurrentState;
        error = ::GetLastError();
        ::CloseServiceHandle(service);
    }
    ::CloseServiceHandle(manager);
    ::SetLastError(error);
    return done;
}

bool Win32ToolHost::FileVersion(const std::u16string& path, uint16_t parts[4]) {
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeW(W(path.c_str()), &ignored);
    if (size == 0)
        return false;
    std::vector<BYTE> block(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!::GetFileVersionInfoW(W(path.c_str()), 0, size, block.data()) ||
        !::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        length < sizeof *fixed)
        return false;
    parts[0] = HIWORD(fixed->dwFileVersionMS);
    parts[1] = LOWORD(fixed->dwFileVersionMS);
    parts[2] = HIWORD(fixed->dwFileVersionLS);
    parts[3] = LOWORD(fixed->dwFileVersionLS);
    return true;
}

uint32_t Win32ToolHost::WriteNewFile(const std::u16string& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(W(path.c_str()), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return ::GetLastError();
    DWORD written = 0;
    DWORD error = ERROR_SUCCESS;
    if (!::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        error = ::GetLastError();
    ::CloseHandle(file);
    return error;
}

void Win32Console::Out(const std::string& utf8) {
    Write(STD_OUTPUT_HANDLE, utf8);
}

void Win32Console::Err(const std::string& utf8) {
    Write(STD_ERROR_HANDLE, utf8);
}

bool Win32Console::ReadLine(std::string* line) {
    char buffer[256];
    if (!std::fgets(buffer, sizeof buffer, stdin))
        return false;
    *line = buffer;
    while (!line->empty() && (line->back() == '\n' || line->back() == '\r'))
        line->pop_back();
    return true;
}

}  // namespace tav::portlink

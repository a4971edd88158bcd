#include "portlink/core/win32/win32_types.h"
// (windows.h first)
#include <cstdio>

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

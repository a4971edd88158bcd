#include "portlink/core/win32/win32_types.h"
// (windows.h first)
#include "portlink/core/win32/win32_port_adapters.h"
#include "shared/win32/wide.h"

namespace tav::portsvc {

PlatformHandle Win32EventLog::RegisterSource(const char16_t* source) {
    return ToHandle(::RegisterEventSourceW(nullptr, AsWide(source)));
}

bool Win32EventLog::Report(PlatformHandle source, uint16_t type, uint32_t messageId,
                           const char16_t* const* strings, uint16_t count) {
    // ReportEventW reads the strings only; its parameter is not const-qualified.
    auto wide = const_cast<LPCWSTR*>(reinterpret_cast<const LPCWSTR*>(strings));
    return ::ReportEventW(FromHandle<HANDLE>(source), type, 0, messageId, nullptr, count, 0, wide,
                          nullptr) != FALSE;
}

bool Win32EventLog::DeregisterSource(PlatformHandle source) {
    return ::DeregisterEventSource(FromHandle<HANDLE>(source)) != FALSE;
}

std::u16string Win32EventLog::ErrorText(uint32_t error) {
    wchar_t text[512] = {};
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, error, 0, text, 512, nullptr);
    while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n'))
        --length;
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

}  // namespace tav::portsvc

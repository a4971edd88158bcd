#include "printer/settings/win32/win32_driver_store.h"

#include <windows.h>
// (after windows.h)
#include <setupapi.h>

#include "shared/unique_handle.h"
#include "shared/win32/wide.h"

// setupapi.dll exports it from Windows Vista on; mingw-w64's setupapi.h does not declare it.
extern "C" WINSETUPAPI BOOL WINAPI SetupGetInfDriverStoreLocationW(
    PCWSTR FileName, PSP_ALTPLATFORM_INFO AlternatePlatformInfo, PCWSTR LocaleName,
    PWSTR ReturnBuffer, DWORD ReturnBufferSize, PDWORD RequiredSize);

namespace tav::setup {

namespace {

using DriverPackageGetPathWFn = DWORD(WINAPI*)(PCWSTR, PWSTR, DWORD*);

// The loaded library, freed when the query is done.
using LoadedLibrary = UniqueFreeHandle<HMODULE, nullptr, &::FreeLibrary>;

}  // namespace

uint32_t Win32DriverStore::DriverPackageGetPath(const std::u16string& infPath,
                                                char16_t* destination, uint32_t* numChars) {
    const LoadedLibrary difx(::LoadLibraryW(L"difxapi.dll"));
    if (difx.get() == nullptr)
        return ::GetLastError();
    const FARPROC proc = ::GetProcAddress(difx.get(), "DriverPackageGetPathW");
    if (proc == nullptr)
        return ::GetLastError();
    const auto getPath = reinterpret_cast<DriverPackageGetPathWFn>(reinterpret_cast<void*>(proc));
    DWORD count = *numChars;
    const DWORD result = getPath(AsWide(infPath), reinterpret_cast<wchar_t*>(destination), &count);
    *numChars = count;
    return result;
}

int Win32DriverStore::InfDriverStoreLocation(const std::u16string& infName, char16_t* buffer,
                                             uint32_t size, uint32_t* required) {
    DWORD needed = 0;
    const BOOL ok = ::SetupGetInfDriverStoreLocationW(AsWide(infName), nullptr, nullptr,
                                                      reinterpret_cast<wchar_t*>(buffer), size,
                                                      required != nullptr ? &needed : nullptr);
    if (required != nullptr)
        *required = needed;
    return ok;
}

void Win32DebugOutput::Write(const char16_t* text) {
    ::OutputDebugStringW(AsWide(text));
}

}  // namespace tav::setup

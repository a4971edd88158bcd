#include "tavsetup/pages/win32/win32_driver_store.h"

#include <windows.h>

#include "shared/unique_handle.h"
#include "shared/win32/wide.h"

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

void Win32DebugOutput::Write(const char16_t* text) {
    ::OutputDebugStringW(AsWide(text));
}

}  // namespace tav::setup

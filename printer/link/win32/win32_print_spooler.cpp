#include "printer/link/win32/win32_print_spooler.h"

#include <windows.h>
#include <winspool.h>

#include "shared/win32/wide.h"

namespace tav::setup {
namespace {

// The spooler's prototypes take writable texts that they only read.
LPWSTR Writable(const char16_t* text) {
    return const_cast<LPWSTR>(AsWide(text));
}

}  // namespace

int Win32PrintSpooler::EnumPrinterList(uint32_t flags, const char16_t* name, uint32_t level,
                                       uint8_t* buffer, uint32_t size, uint32_t* pNeeded,
                                       uint32_t* pReturned) {
    DWORD needed = 0;
    DWORD returned = 0;
    const BOOL ok = ::EnumPrintersW(flags, Writable(name), level, buffer, size, &needed, &returned);
    *pNeeded = needed;
    *pReturned = returned;
    return ok;
}

int Win32PrintSpooler::GetDriverDirectory(const char16_t* serverName, const char16_t* environment,
                                          uint32_t level, uint8_t* buffer, uint32_t size,
                                          uint32_t* pNeeded) {
    DWORD needed = 0;
    const BOOL ok = ::GetPrinterDriverDirectoryW(Writable(serverName), Writable(environment), level,
                                                 buffer, size, &needed);
    *pNeeded = needed;
    return ok;
}

}  // namespace tav::setup

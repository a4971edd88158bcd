#pragma once
// The two spooler calls used only to learn whether the spooler answers: both fail with 1722
// while its remote interface is not up.

#include <cstdint>

#include "printer/link/platform.h"
#include "shared/win/printing.h"

namespace tav::setup {

class PrintSpooler {
  public:
    virtual ~PrintSpooler() = default;

    // EnumPrintersW(flags, name, level, buffer, size, &needed, &returned).
    virtual int EnumPrinterList(uint32_t flags, const char16_t* name, uint32_t level,
                                uint8_t* buffer, uint32_t size, uint32_t* pNeeded,
                                uint32_t* pReturned) = 0;
    // GetPrinterDriverDirectoryW(server, environment, level, buffer, size, &needed).
    virtual int GetDriverDirectory(const char16_t* serverName, const char16_t* environment,
                                   uint32_t level, uint8_t* buffer, uint32_t size,
                                   uint32_t* pNeeded) = 0;
};

}  // namespace tav::setup

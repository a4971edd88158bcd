#pragma once
// PrintSpooler over winspool: one Windows call per method.

#include "printer/link/print_spooler.h"

namespace tav::setup {

class Win32PrintSpooler : public PrintSpooler {
  public:
    int EnumPrinterList(uint32_t flags, const char16_t* name, uint32_t level, uint8_t* buffer,
                        uint32_t size, uint32_t* pNeeded, uint32_t* pReturned) override;
    int GetDriverDirectory(const char16_t* serverName, const char16_t* environment, uint32_t level,
                           uint8_t* buffer, uint32_t size, uint32_t* pNeeded) override;
};

}  // namespace tav::setup

#pragma once
// What the settings protocol needs of the printer: one transaction at a time and the
// clock that times them. Over the printer link this is PrinterTransact (link_channel.h);
// tests and the fuzzer can put any transaction source behind it.

#include <cstdint>

#include "shared/clock.h"

namespace tav::setup {

class PrinterChannel {
  public:
    virtual ~PrinterChannel() = default;
    // One transaction with PrinterTransact's parameters and result (nonzero = success).
    [[nodiscard]] virtual int Transact(uint32_t ioctlCode, const void* inBuffer, uint32_t inSize,
                                       void* outBuffer, uint32_t outSize, uint32_t* pCount,
                                       uint32_t budgetMs) = 0;
    virtual Clock& GetClock() = 0;
};

}  // namespace tav::setup

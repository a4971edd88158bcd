#pragma once
// The settings protocol over the printer link: each transaction is PrinterTransact on the
// one PrinterLink, timed by the platform's clock.

#include "printer/link/printer_link.h"
#include "printer/settings/printer_channel.h"

namespace tav::setup {

class LinkChannel : public PrinterChannel {
  public:
    LinkChannel(PrinterPlatform& sys, PrinterLink& link) : m_sys(sys), m_link(link) {}

    [[nodiscard]] int Transact(uint32_t ioctlCode, const void* inBuffer, uint32_t inSize,
                               void* outBuffer, uint32_t outSize, uint32_t* pCount,
                               uint32_t budgetMs) override;
    Clock& GetClock() override { return m_sys.clock; }

  private:
    PrinterPlatform& m_sys;
    PrinterLink& m_link;
};

}  // namespace tav::setup

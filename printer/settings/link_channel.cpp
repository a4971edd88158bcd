#include "printer/settings/link_channel.h"

namespace tav::setup {

int LinkChannel::Transact(uint32_t ioctlCode, const void* inBuffer, uint32_t inSize,
                          void* outBuffer, uint32_t outSize, uint32_t* pCount, uint32_t budgetMs) {
    return PrinterTransact(m_sys, m_link, ioctlCode, inBuffer, inSize, outBuffer, outSize, pCount,
                           budgetMs);
}

}  // namespace tav::setup

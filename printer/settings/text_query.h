#pragma once
// A text query: drain stale bytes, write the query, collect the text reply over several
// reads within about one second, drain again when the reply never completes.

#include <cstdint>

#include "printer/settings/printer_channel.h"
#include "printer/settings/text_reply.h"

namespace tav::setup {

inline constexpr uint32_t kDrainSize = 256;
inline constexpr uint32_t kDrainBudgetMs = 500;
inline constexpr uint32_t kQueryWriteBudgetMs = 1000;
inline constexpr uint32_t kCollectionSize = 256;
inline constexpr uint32_t kReplyReadSize = 64;
inline constexpr uint32_t kReplyReadBudgetMs = 500;
inline constexpr uint32_t kReplyWindowMs = 1000;

// Nonzero when a complete text reply arrived; `result` then holds its text (cut to 31
// characters; left all zero for an empty text).
[[nodiscard]] int QueryPrinterText(PrinterChannel& channel, const uint8_t* query,
                                   uint32_t querySize, PrinterTextField& result);

}  // namespace tav::setup

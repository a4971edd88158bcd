#pragma once
// The Event Log: the entry types ReportEventW takes.

#include <cstdint>

namespace tav::win {

inline constexpr uint16_t kEventlogSuccess = 0x0000;
inline constexpr uint16_t kEventlogErrorType = 0x0001;
inline constexpr uint16_t kEventlogWarningType = 0x0002;
inline constexpr uint16_t kEventlogInformationType = 0x0004;
inline constexpr uint16_t kEventlogAuditSuccess = 0x0008;
inline constexpr uint16_t kEventlogAuditFailure = 0x0010;

}  // namespace tav::win

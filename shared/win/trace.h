#pragma once
// Event tracing: control requests, levels and message flags.

#include <cstdint>

namespace tav::win {

// WMIDPREQUESTCODE values a trace control callback receives.
inline constexpr uint32_t kWmiEnableEvents = 4;
inline constexpr uint32_t kWmiDisableEvents = 5;

inline constexpr uint8_t kTraceLevelError = 2;
inline constexpr uint8_t kTraceLevelInformation = 4;

// TraceMessage flags.
inline constexpr uint32_t kTraceMessageSequence = 0x01;
inline constexpr uint32_t kTraceMessageGuid = 0x02;
inline constexpr uint32_t kTraceMessageTimestamp = 0x08;
inline constexpr uint32_t kTraceMessageSystemInfo = 0x20;

}  // namespace tav::win

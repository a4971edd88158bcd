#pragma once
// The service control manager's access rights, service types, states, controls and status.

#include <cstdint>

namespace tav::win {

inline constexpr uint32_t kScManagerConnect = 0x0001;
inline constexpr uint32_t kScManagerAllAccess = 0xF003F;

inline constexpr uint32_t kServiceQueryConfig = 0x0001;
inline constexpr uint32_t kServiceQueryStatus = 0x0004;
inline constexpr uint32_t kServiceStart = 0x0010;
inline constexpr uint32_t kServiceStop = 0x0020;
inline constexpr uint32_t kServiceAllAccess = 0xF01FF;

inline constexpr uint32_t kServiceWin32OwnProcess = 0x10;
inline constexpr uint32_t kServiceAutoStart = 2;
inline constexpr uint32_t kServiceErrorNormal = 1;

inline constexpr uint32_t kServiceStopped = 1;
inline constexpr uint32_t kServiceStartPending = 2;
inline constexpr uint32_t kServiceStopPending = 3;
inline constexpr uint32_t kServiceRunning = 4;

inline constexpr uint32_t kServiceControlStop = 1;
inline constexpr uint32_t kServiceControlInterrogate = 4;
inline constexpr uint32_t kServiceControlShutdown = 5;
inline constexpr uint32_t kServiceControlDeviceEvent = 11;
inline constexpr uint32_t kServiceControlPowerEvent = 13;

inline constexpr uint32_t kServiceAcceptStop = 0x01;
inline constexpr uint32_t kServiceAcceptShutdown = 0x04;
inline constexpr uint32_t kServiceAcceptPowerEvent = 0x40;

// SERVICE_STATUS, field for field.
struct ServiceStatus {
    uint32_t serviceType = 0;
    uint32_t currentState = 0;
    uint32_t controlsAccepted = 0;
    uint32_t win32ExitCode = 0;
    uint32_t serviceSpecificExitCode = 0;
    uint32_t checkPoint = 0;
    uint32_t waitHint = 0;
};

}  // namespace tav::win

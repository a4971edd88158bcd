#pragma once
// The one record through which tavsetup reaches the printer, and the transactions on it.
// Every operation takes the platform it runs on first: the real Win32 adapters in
// tavsetup.exe, the simulated world in tests and the demo.

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "printer/link/platform.h"
#include "shared/win/printing.h"
#include "shared/win/setup_api.h"

namespace tav::setup {

struct PrinterLink {
    PrinterLink() { Clear(); }
    PrinterLink(const PrinterLink&) = delete;  // pszMfg/pszMdl point into the record
    PrinterLink& operator=(const PrinterLink&) = delete;

    // Device ID all zero, both value pointers at its start (empty texts).
    void ClearDeviceId() {
        std::memset(szDeviceId, 0, sizeof szDeviceId);
        pszMfg = szDeviceId;
        pszMdl = szDeviceId;
    }
    void Clear() {
        pszDevicePath.reset();
        bSerialMode = 0;
        hDevice = win::kNoHandle;
        bLpdStopped = 0;
        ClearDeviceId();
    }

    std::optional<std::u16string> pszDevicePath;  // none, or the first matching interface
    int32_t bSerialMode = 0;  // 0: USB printing class found; 1: serial mode or not found
    const char* pszMfg = nullptr;
    const char* pszMdl = nullptr;
    char szDeviceId[256];
    Handle hDevice = win::kNoHandle;  // open only inside one transaction
    // 1 once this run's open fallback has stopped the LPD print service; the exit sequence
    // starts it again after the Spooler (RestartLpdServiceIfStopped).
    int32_t bLpdStopped = 0;
};

// One open-operate-close transaction under a budget in milliseconds. Nonzero on success.
[[nodiscard]] int PrinterTransact(PrinterPlatform& sys, PrinterLink& link, uint32_t ioctlCode,
                                  const void* inBuffer, uint32_t inSize, void* outBuffer,
                                  uint32_t outSize, uint32_t* pCount, uint32_t budgetMs);

// Opens link.hDevice for a transaction (with the print-service fallback).
[[nodiscard]] int OpenPrinterDevice(PrinterPlatform& sys, PrinterLink& link);

// Starts (bStart 1) or stops one service and waits for the state; 1 only when this call
// moved the service into the requested state.
[[nodiscard]] int ChangeServiceState(PrinterPlatform& sys, int bStart, const char16_t* serviceName);

// Starts the Spooler if stopped and waits until it answers.
[[nodiscard]] int StartPrintSpooler(PrinterPlatform& sys);

// Starts the LPD print service again when this run's fallback stopped it (`bLpdStopped`, the
// link's note, cleared once started). For the exit sequence, after the Spooler is running
// again (the LPD service depends on it).
[[nodiscard]] int RestartLpdServiceIfStopped(PrinterPlatform& sys, int32_t& bLpdStopped);

// One service's current state (SERVICE_RUNNING, ...) without changing it; 0 when the service
// cannot be opened or queried (last error set).
[[nodiscard]] int QueryServiceState(PrinterPlatform& sys, const char16_t* serviceName,
                                    uint32_t* state);
// The longest a service state change waits for the target state.
inline constexpr uint32_t kServiceStateWaitMs = 30000;

// Whether a device interface path is one of the family's printers (vendor 1B7E, product 01xx).
[[nodiscard]] bool IsFamilyPrinterPath(const std::u16string& path);

// Printer count found (0, 1, 2+), or -1 when the USB printing-class enumeration failed.
[[nodiscard]] int DiscoverPrinter(PrinterPlatform& sys, PrinterLink& link);
[[nodiscard]] int EnumPrinterInterfaces(PrinterPlatform& sys, const Guid& classGuid,
                                        PrinterLink& link, int bRestart);

// Disables and re-enables the device that owns the interface.
[[nodiscard]] int RestartDevice(PrinterPlatform& sys, Handle deviceInfoSet,
                                const win::DeviceInterfaceData& data);

// Reads and checks the IEEE 1284 device ID of the printer in `link`.
[[nodiscard]] int CheckPrinterId(PrinterPlatform& sys, PrinterLink& link);

// The acceptance rule on a reply of `count` bytes in the 256-byte `deviceId`: on acceptance
// the two values are cut at their ";" and *ppMfg / *ppMdl point at them; on rejection the
// buffer is all zero and both point at its start.
[[nodiscard]] int AcceptDeviceId(char (&deviceId)[256], uint32_t count, const char** ppMfg,
                                 const char** ppMdl);

}  // namespace tav::setup
